#!/usr/bin/env python3
"""check_release.py DIST TESTED_X64_EXE TESTED_ARM64_EXE: what
scripts/release.sh left in DIST.

Each zip, x64 and ARM64, holds exactly plix.exe and README.txt (in Windows
line endings), dated at the commit's time; SHA256SUMS gives the hashes of
both zips and of both exes as they unpack; each plix.exe is the tests' own
build, made earlier in another folder, for its machine, with no debug
sections; the x64 one's version resource and About line say the version in
the zips' names, and the ARM64 one carries the same resources.
"""

import hashlib, os, re, subprocess, sys, time, zipfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "arm64"))
from check_exe import resources  # noqa: E402

ARCHES = {"x64": "(0x8664)", "arm64": "(0xAA64)"}


def expect(holds, what):
    if not holds:
        sys.exit(f"release check failed: {what}")


def output(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def unpacked(dist, zip_name, tested_exe, stamp):
    with zipfile.ZipFile(os.path.join(dist, zip_name)) as archive:
        expect(archive.namelist() == ["plix.exe", "README.txt"], f"{zip_name}: {archive.namelist()}")
        expect(all(info.date_time == stamp for info in archive.infolist()), f"{zip_name}: entry times")
        exe, readme = archive.read("plix.exe"), archive.read("README.txt")
    with open(tested_exe, "rb") as tested:
        expect(tested.read() == exe, f"{zip_name}'s plix.exe is not {tested_exe}")
    return exe, readme


def check(dist, x64_exe, arm64_exe):
    names = sorted(os.listdir(dist))
    named = [re.fullmatch(r"plix-(.+)-windows-(x64|arm64)\.zip", name) for name in names]
    versions = {m.group(1) for m in named if m}
    expect(len(names) == 3 and "SHA256SUMS" in names and len(versions) == 1 and
           sorted(m.group(2) for m in named if m) == ["arm64", "x64"], f"{dist} holds {names}")
    version = versions.pop()
    stamp = time.gmtime(int(output("git", "log", "-1", "--format=%ct")) // 2 * 2)[:6]
    tested = {"x64": x64_exe, "arm64": arm64_exe}
    zips, exes, readmes = [], [], []
    for arch in ARCHES:
        zip_name = f"plix-{version}-windows-{arch}.zip"
        exe, readme = unpacked(dist, zip_name, tested[arch], stamp)
        with open(os.path.join(dist, zip_name), "rb") as z:
            zips.append((zip_name, z.read()))
        exes.append((f"plix-{version}-windows-{arch}/plix.exe", exe))
        readmes.append(readme)
        headers = output("llvm-readobj-14", "--file-headers", "--sections", tested[arch])
        expect(ARCHES[arch] in headers, f"{zip_name}: plix.exe is not for {arch}")
        expect(".debug" not in headers, f"{zip_name}: debug sections")
    expect(readmes[0] == readmes[1], "the zips' README.txt differ")
    readme = readmes[0]
    expect(readme.count(b"\n") == readme.count(b"\r\n"), "README.txt line endings")
    with open(os.path.join(dist, "SHA256SUMS")) as sums:
        expect(sums.read() == "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n"
                                      for name, data in zips + exes), "SHA256SUMS")
    resources_text = output("x86_64-w64-mingw32-windres", "-i", x64_exe, "-O", "rc")
    numbers = ", ".join((version.split(".") + ["0"] * 4)[:4])
    quad = numbers.replace(", ", ".")
    for wanted in (f"FILEVERSION {numbers}\n", f"PRODUCTVERSION {numbers}\n",
                   f'"FileVersion", "{quad}"', f'"ProductVersion", "{quad}"',
                   f'CONTROL "plix Version {version}", -1,', f"plix {version}\r\n"):
        expect(wanted in resources_text + readme.decode(), f"no {wanted.strip()}")
    expect(f'name="plix" version="{quad}"'.encode() in exes[0][1], "no manifest of version " + quad)
    expect(resources(arm64_exe) == resources(x64_exe), "the ARM64 plix.exe's resources differ from the x64 one's")
    print(f"release check: both zips hold plix.exe and README.txt, version {version} throughout")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    check(*sys.argv[1:4])
