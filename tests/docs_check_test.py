#!/usr/bin/env python3
"""The docs check against a small repository, whole and then with one thing
moved, renamed or bumped: each must be named by its file and line."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import docs_check  # noqa: E402

WHOLE = {
    "CMakeLists.txt": "cmake_minimum_required(VERSION 3.20)\nproject(plix VERSION 1.4 LANGUAGES C)\n",
    "CHANGELOG.md": "# Changes\n\n## Unreleased\n\n## 1.4 - 2026-01-02\n",
    "README.md": "# plix\n\n- [Quick start](#quick-start)\n\n## Quick start\n\n"
                 "    bash scripts/run.sh\n\n![plix](docs/plix.png) from `scripts/picture.sh`,"
                 " see [the bench](bench/README.md#figures), `build/NAME/` and `tests/fuzz/corpus/NAME`\n",
    "bench/README.md": "# Bench\n\n## Figures\n\n    BENCH_RUNS=1 bash bench/run.sh profile\n",
    "docs/README.txt": "plix @PROJECT_VERSION@\r\n\r\nIn Settings > System > About.\r\n",
    "docs/plix.png": "", "scripts/run.sh": "", "scripts/picture.sh": "", "bench/run.sh": "",
    "tests/fuzz/corpus/.keep": "",
}

# (what happens, files replaced (None: removed), the problems' locations)
CASES = [
    ("nothing", {}, []),
    ("the picture moved", {"docs/plix.png": None}, ["README.md:9"]),
    ("a script renamed", {"scripts/run.sh": None, "scripts/start.sh": ""}, ["README.md:7"]),
    ("a named script gone", {"scripts/picture.sh": None}, ["README.md:9"]),
    ("the bench's command renamed", {"bench/run.sh": None}, ["bench/README.md:5"]),
    ("a linked heading renamed", {"bench/README.md": "# Bench\n\n## Results\n\n    bash bench/run.sh\n"},
     ["README.md:9"]),
    ("a contents line with no heading", {"README.md": "- [Start](#start)\n"}, ["README.md:1"]),
    ("the version bumped", {"CMakeLists.txt": "project(plix VERSION 1.5)\n"}, ["CHANGELOG.md:5"]),
    ("a version by hand", {"docs/README.txt": "plix @PROJECT_VERSION@\r\n\r\nplix-1.4-windows-x64.zip\r\n"},
     ["docs/README.txt:3"]),
    ("a version in the text", {"README.md": "# plix\n\nplix 1.4 costs 0.4 % (plix 6.6 us a strip).\n"
                                             "About says plix 1.4\n"}, ["README.md:4"]),
    ("no version from the build", {"docs/README.txt": "plix\r\n"}, ["docs/README.txt:1"]),
]


class DocsCheckTest(unittest.TestCase):
    def test_each_problem_is_named_by_file_and_line(self):
        for what, changes, expected in CASES:
            with self.subTest(what), tempfile.TemporaryDirectory() as root:
                for name, text in {**WHOLE, **changes}.items():
                    if text is not None:
                        os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
                        with open(os.path.join(root, name), "w", newline="") as f:
                            f.write(text)
                problems = docs_check.check(root)
                self.assertEqual([p.split(": ")[0] for p in problems], expected, problems)


if __name__ == "__main__":
    unittest.main()
