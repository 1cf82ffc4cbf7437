#!/usr/bin/env python3
"""rebuild_elsewhere.py SOURCE_DIR EXE BUILD_TYPE: builds plix.exe again from
a copy of the sources (what git would commit) in folders of other names and
lengths, later, and fails unless it is byte for byte EXE: a build path or a
time stamp in the exe shows here.
"""

import os, shutil, subprocess, sys, tempfile


def main(source, exe, build_type):
    work = tempfile.mkdtemp(prefix="plix-rebuilt-")
    copy, build = os.path.join(work, "sources-elsewhere"), os.path.join(work, "b")
    listed = subprocess.run(["git", "-C", source, "ls-files", "-z", "--cached", "--others",
                             "--exclude-standard"], check=True, capture_output=True).stdout
    for name in filter(None, listed.decode().split("\0")):
        if os.path.isfile(os.path.join(source, name)):
            os.makedirs(os.path.dirname(os.path.join(copy, name)), exist_ok=True)
            shutil.copy2(os.path.join(source, name), os.path.join(copy, name))
    with open(os.path.join(work, "build.log"), "w") as log:
        for command in (["cmake", "-S", copy, "-B", build, "-DCMAKE_BUILD_TYPE=" + build_type],
                        ["cmake", "--build", build, "--target", "plix", "-j", str(os.cpu_count())]):
            if subprocess.run(command, stdout=log, stderr=subprocess.STDOUT).returncode != 0:
                sys.exit(f"rebuilding failed: see {log.name}")
    with open(exe, "rb") as first, open(os.path.join(build, "plix.exe"), "rb") as second:
        mine, theirs = first.read(), second.read()
    if mine != theirs:
        offsets = [i for i, (a, b) in enumerate(zip(mine, theirs)) if a != b]
        sys.exit(f"{exe} ({len(mine)} bytes) and its rebuild in {build} ({len(theirs)} bytes) "
                 f"differ at {len(offsets)} offsets, first {offsets[:8]}")
    shutil.rmtree(work)
    print(f"{exe} rebuilt in {copy}: the same {len(mine)} bytes")


if __name__ == "__main__":
    main(*sys.argv[1:4])
