#!/usr/bin/env python3
"""The docs check against a small repository, whole and then with one thing
moved, renamed or bumped: each must be named by its file and line."""

import os, sys, tempfile, unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
import docs_check  # noqa: E402

WHOLE = {
    "CMakeLists.txt": "cmake_minimum_required(VERSION 3.20)\nproject(plix VERSION 1.4 LANGUAGES C)\n",
    "CHANGELOG.md": "# Changes\n\n## Unreleased\n\n## 1.4 - 2026-01-02\n",
    "README.md": "# plix\n\n- [Quick start](#quick-start)\n\n## Quick start\n\n    bash scripts/run.sh\n\n"
                 "![plix](docs/plix.png) from `scripts/picture.sh`, see [the bench](bench/README.md#figures),"
                 " `build/NAME/` and `tests/fuzz/corpus/NAME`\n",
    "bench/README.md": "# Bench\n\n## Figures\n\n    BENCH_RUNS=1 bash bench/run.sh profile\n",
    "docs/README.txt": "plix @PROJECT_VERSION@\r\n\r\nIn Settings > System > About.\r\n",
    "docs/plix.png": "", "scripts/run.sh": "", "scripts/picture.sh": "", "bench/run.sh": "", "tests/fuzz/corpus/x": "",
}

# (what happens, files replaced (None: removed), the problems' locations)
CASES = [
    ("nothing", {}, []),
    ("the picture moved", {"docs/plix.png": None}, ["README.md:9"]),
    ("a script renamed", {"scripts/run.sh": None, "bench/run.sh": None}, ["README.md:7", "bench/README.md:5"]),
    ("a named script gone", {"scripts/picture.sh": None}, ["README.md:9"]),
    ("a linked heading renamed", {"bench/README.md": "## Results\n"}, ["README.md:9"]),
    ("a contents line with no heading", {"README.md": "- [Start](#start)\n"}, ["README.md:1"]),
    ("the version bumped", {"CMakeLists.txt": "project(plix VERSION 1.5)\n"}, ["CHANGELOG.md:5"]),
    ("a version by hand", {"docs/README.txt": "plix @PROJECT_VERSION@\r\nplix-1.4-windows-x64.zip\r\n"},
     ["docs/README.txt:2"]),
    ("a version in the text, not a figure", {"README.md": "plix 6.6 us a strip.\nAbout says plix 1.4\n"},
     ["README.md:2"]),
    ("no version from the build", {"docs/README.txt": "plix\r\n"}, ["docs/README.txt:1"]),
]


class DocsCheckTest(unittest.TestCase):
    def test_each_problem_is_named_by_file_and_line(self):
        for what, changes, expected in CASES:
            with self.subTest(what), tempfile.TemporaryDirectory() as root:
                for name, text in filter(lambda item: item[1] is not None, {**WHOLE, **changes}.items()):
                    os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
                    with open(os.path.join(root, name), "w", newline="") as f:
                        f.write(text)
                problems = docs_check.check(root)
                self.assertEqual([p.split(": ")[0] for p in problems], expected, problems)


if __name__ == "__main__":
    unittest.main()
