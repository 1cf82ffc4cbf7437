#!/usr/bin/env python3
"""Checks what scripts/release.sh left in DIST against the build the tests ran.

check_release.py DIST TESTED_EXE

The zip holds exactly plix.exe and README.txt, the read-me in Windows line
endings, both entries at the commit's time; SHA256SUMS gives both files'
hashes; the plix.exe in it has no debug sections, is byte for byte the one
the tests built (from another folder, earlier), and its version resource
and About line say the version in the zip's name.
"""

import hashlib
import os
import re
import subprocess
import sys
import time
import zipfile


def fail(message):
    sys.exit("release check: " + message)


def main(dist, tested_exe):
    names = sorted(os.listdir(dist))
    named = re.fullmatch(r"plix-(.+)-windows-x64\.zip", names[0]) if len(names) == 2 else None
    if named is None or names[1] != "SHA256SUMS":
        fail(f"{dist} holds {names}")
    zip_name, version = names[0], named.group(1)
    with zipfile.ZipFile(os.path.join(dist, zip_name)) as archive:
        if archive.namelist() != ["plix.exe", "README.txt"]:
            fail(f"the zip holds {archive.namelist()}")
        commit_time = int(subprocess.run(["git", "log", "-1", "--format=%ct"], check=True,
                                         capture_output=True, text=True).stdout)
        if any(info.date_time != time.gmtime(commit_time)[:6] for info in archive.infolist()):
            fail("the zip's entries do not carry the commit's time")
        exe, readme = archive.read("plix.exe"), archive.read("README.txt")
    if readme.count(b"\n") != readme.count(b"\r\n") or f"plix {version}\r\n".encode() not in readme:
        fail(f"README.txt is not in Windows line endings or names no plix {version}")
    with open(os.path.join(dist, "SHA256SUMS")) as listed:
        sums = [tuple(line.split("  ", 1)) for line in listed.read().splitlines()]
    with open(os.path.join(dist, zip_name), "rb") as z:
        files = [(zip_name, z.read()), ("plix.exe", exe)]
    if sums != [(hashlib.sha256(data).hexdigest(), name) for name, data in files]:
        fail(f"SHA256SUMS gives {sums}")
    with open(tested_exe, "rb") as tested:
        if tested.read() != exe:
            fail(f"the zip's plix.exe is not the {tested_exe} the tests built")
    sections = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", tested_exe], check=True,
                              capture_output=True, text=True).stdout
    if ".debug" in sections:
        fail("plix.exe carries debug sections")
    resources = subprocess.run(["x86_64-w64-mingw32-windres", "-i", tested_exe, "-O", "rc"],
                               check=True, capture_output=True, text=True).stdout
    numbers = ", ".join((version.split(".") + ["0"] * 4)[:4])
    quad = numbers.replace(", ", ".")
    for wanted in (f"FILEVERSION {numbers}\n", f"PRODUCTVERSION {numbers}\n",
                   f'"FileVersion", "{quad}"', f'"ProductVersion", "{quad}"',
                   f'CONTROL "plix Version {version}", -1,'):
        if wanted not in resources:
            fail(f"plix.exe's resources have no {wanted.strip()}")
    print(f"release check: {zip_name} holds plix.exe and README.txt, "
          f"version {version} throughout")


if __name__ == "__main__":
    main(*sys.argv[1:3])
