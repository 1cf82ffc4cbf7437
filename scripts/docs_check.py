#!/usr/bin/env python3
"""docs_check.py SOURCE_DIR: the read-mes name only what the repository holds.

In README.md, CONTRIBUTING.md, CHANGELOG.md, bench/README.md, docs/*.md and
docs/README.txt: a script a command runs (bash, sh or python3 before a
relative path, or .ci/run) is there; a path of the repository in backticks
is there; a relative link or picture names a file that is there, and a
heading of a Markdown file that it has. No version of plix is spelled by
hand in README.md or README.txt: the build writes project()'s into
README.txt, and CHANGELOG.md's newest version is project()'s. Prints each
problem as FILE:LINE: what, and fails when there is one.
"""

import os
import re
import sys

DOCUMENTS = ["README.md", "CONTRIBUTING.md", "CHANGELOG.md", "bench/README.md", "docs/README.txt"]
COMMAND = re.compile(r"(?:\b(?:bash|sh|python3)\s+(?!-)([\w.][\w./-]*)|(?<![\w./])(\.ci/run)\b)")
QUOTED = re.compile(r"`([^`\s]+)`")
LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
# "plix-0.2-windows", "Version 0.2", "VERSION 0.2", and "plix 0.2" at a line's or a clause's end
# (not "plix 6.6 us")
SPELLED_VERSION = re.compile(r"\bplix-v?\d+(?:\.\d+)+|\b(?:[Vv]ersion|VERSION)[ -]v?\d+(?:\.\d+)+"
                             r"|\bplix v?\d+(?:\.\d+)+(?=\s*$|[,;:)])")
PROJECT = re.compile(r"^\s*project\(\s*plix\s+VERSION\s+([\d.]+)")
RELEASE_HEADING = re.compile(r"^## \[?(\d+(?:\.\d+)+)")


def documents(root):
    docs = os.path.join(root, "docs")
    found = sorted("docs/" + n for n in os.listdir(docs) if n.endswith(".md")) if os.path.isdir(docs) else []
    return [d for d in DOCUMENTS + found if os.path.isfile(os.path.join(root, d))]


def read_lines(root, name):
    with open(os.path.join(root, name), encoding="utf-8") as f:
        return f.read().splitlines()


def slug(heading):
    """The anchor a Markdown renderer gives a heading, as GitHub makes it."""
    text = re.sub(r"[^\w\- ]", "", heading.strip().lower())
    return text.replace(" ", "-")


def anchors(root, name):
    found, seen = set(), {}
    for line in read_lines(root, name):
        if line.startswith("#"):
            base = slug(line.lstrip("#"))
            count = seen.get(base, 0)
            seen[base] = count + 1
            found.add(base if count == 0 else "%s-%d" % (base, count))
    return found


def repository_folders(root):
    """The top-level folders a path in the read-mes can name: not the build's or the release's."""
    return {n for n in os.listdir(root) if os.path.isdir(os.path.join(root, n))
            and n not in (".git", "dist") and not n.startswith("build")}


def is_placeholder(path):
    return any(c in path for c in "<>*$%") or "..." in path or any(
        re.fullmatch(r"[A-Z_]+", part) for part in path.strip("/").split("/"))


def check_link(root, name, target):
    if re.match(r"[a-z]+:", target):
        return None
    path, _, fragment = target.partition("#")
    linked = os.path.normpath(os.path.join(os.path.dirname(name), path)) if path else name
    if not os.path.exists(os.path.join(root, linked)):
        return "link to %s: no such file" % target
    if fragment and linked.endswith(".md") and fragment not in anchors(root, linked):
        return "link to %s: %s has no such heading" % (target, linked)
    return None


def problems_in(root, name, folders):
    problems = []
    spelled_checked = name in ("README.md", "docs/README.txt")
    for number, line in enumerate(read_lines(root, name), 1):
        where = "%s:%d: " % (name, number)
        for match in COMMAND.finditer(line):
            script = match.group(1) or match.group(2)
            if not is_placeholder(script) and not os.path.isfile(os.path.join(root, script)):
                problems.append(where + "command runs %s: no such file" % script)
        for quoted in QUOTED.findall(line):
            path = quoted.rstrip(".,:;)")
            if (path.split("/")[0] in folders and "/" in path and not is_placeholder(path)
                    and not os.path.exists(os.path.join(root, path))):
                problems.append(where + "%s: no such file or folder" % path)
        for target in LINK.findall(line):
            problem = check_link(root, name, target)
            if problem:
                problems.append(where + problem)
        if spelled_checked:
            for spelled in SPELLED_VERSION.findall(line):
                problems.append(where + "%r spells a version by hand: write <version>, or"
                                " @PROJECT_VERSION@ in README.txt" % spelled)
    return problems


def first_match(root, name, pattern):
    """(line number, first group) of the first line of NAME that PATTERN matches, or None."""
    if not os.path.isfile(os.path.join(root, name)):
        return None
    for number, line in enumerate(read_lines(root, name), 1):
        match = pattern.match(line)
        if match:
            return number, match.group(1)
    return None


def version_problems(root):
    project = first_match(root, "CMakeLists.txt", PROJECT)
    if not project:
        return ["CMakeLists.txt:1: no project(plix VERSION ...)"]
    problems = []
    if not first_match(root, "docs/README.txt", re.compile(r".*(@PROJECT_VERSION@)")):
        problems.append("docs/README.txt:1: no @PROJECT_VERSION@: the build cannot write the version in")
    newest = first_match(root, "CHANGELOG.md", RELEASE_HEADING)
    if not newest or newest[1] != project[1]:
        said = "CHANGELOG.md:%d: newest version %s" % newest if newest else "CHANGELOG.md:1: no version"
        problems.append("%s, but CMakeLists.txt:%d says %s" % (said, *project))
    return problems


def check(root):
    folders = repository_folders(root)
    problems = version_problems(root)
    for name in documents(root):
        problems += problems_in(root, name, folders)
    return problems


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    problems = check(os.path.abspath(sys.argv[1]))
    for problem in problems:
        print(problem)
    if problems:
        sys.exit("docs check: %d problem(s)" % len(problems))
    print("docs check: commands, paths, links and version as the repository has them")


if __name__ == "__main__":
    main()
