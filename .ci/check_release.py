#!/usr/bin/env python3
"""check_release.py DIST TESTED_EXE: what scripts/release.sh left in DIST.

The zip holds exactly plix.exe and README.txt (in Windows line endings),
dated at the commit's time; SHA256SUMS gives both hashes; plix.exe is the
tests' own build, made earlier in another folder, has no debug sections, and
its version resource and About line say the version in the zip's name.
"""

import hashlib, os, re, subprocess, sys, time, zipfile


def expect(holds, what):
    if not holds:
        sys.exit(f"release check failed: {what}")


def output(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def check(dist, tested_exe):
    names = sorted(os.listdir(dist))
    named = len(names) == 2 and re.fullmatch(r"plix-(.+)-windows-x64\.zip", names[1])
    expect(named and names[0] == "SHA256SUMS", f"{dist} holds {names}")
    zip_name, version = names[1], named.group(1)
    with zipfile.ZipFile(os.path.join(dist, zip_name)) as archive:
        expect(archive.namelist() == ["plix.exe", "README.txt"], archive.namelist())
        stamp = time.gmtime(int(output("git", "log", "-1", "--format=%ct")) // 2 * 2)[:6]
        expect(all(info.date_time == stamp for info in archive.infolist()), "entry times")
        exe, readme = archive.read("plix.exe"), archive.read("README.txt")
    expect(readme.count(b"\n") == readme.count(b"\r\n"), "README.txt line endings")
    with open(os.path.join(dist, zip_name), "rb") as z, open(tested_exe, "rb") as tested:
        files = [(zip_name, z.read()), ("plix.exe", exe)]
        expect(tested.read() == exe, f"the zip's plix.exe is not {tested_exe}")
    with open(os.path.join(dist, "SHA256SUMS")) as sums:
        expect(sums.read() == "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n"
                                      for name, data in files), "SHA256SUMS")
    expect(".debug" not in output("x86_64-w64-mingw32-objdump", "-h", tested_exe), "debug sections")
    resources = output("x86_64-w64-mingw32-windres", "-i", tested_exe, "-O", "rc")
    numbers = ", ".join((version.split(".") + ["0"] * 4)[:4])
    quad = numbers.replace(", ", ".")
    for wanted in (f"FILEVERSION {numbers}\n", f"PRODUCTVERSION {numbers}\n",
                   f'"FileVersion", "{quad}"', f'"ProductVersion", "{quad}"',
                   f'CONTROL "plix Version {version}", -1,', f"plix {version}\r\n"):
        expect(wanted in resources + readme.decode(), f"no {wanted.strip()}")
    print(f"release check: {zip_name} holds plix.exe and README.txt, version {version} throughout")


if __name__ == "__main__":
    check(*sys.argv[1:3])
