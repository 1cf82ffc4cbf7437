#!/usr/bin/env python3
"""check_exe.py ARM64_EXE X64_EXE ALLOWED_DLLS FOLDER...: what the ARM64
plix.exe must be, read with llvm-readobj-14: an ARM64 (0xAA64) GUI program
that imports only ALLOWED_DLLS (comma-separated), exports nothing, carries
no time stamp and none of the FOLDERs it was built from, holds the same
resources as the x64 plix.exe (version information and manifest among
them), and weighs what the x64 one does: under 1 MB. Every fault found is
named; the check fails when there is one.
"""

import os, re, subprocess, sys

MAX_SIZE = 1 << 20


def readobj(exe, *options):
    return subprocess.run(["llvm-readobj-14", *options, exe], check=True,
                          capture_output=True, text=True).stdout


def field(dump, name):
    found = re.search(rf"^\s*{name}: (.*)$", dump, re.M)
    return found.group(1) if found else "<missing>"


def resources(exe):
    """{(type, name, language): data} from llvm-readobj's resource dump."""
    table, path, data = {}, [], None
    for line in readobj(exe, "--coff-resources").splitlines():
        entry = re.match(r"(\s*)(Type|Name|Language): (.*) \[$", line)
        if entry:
            depth = ["Type", "Name", "Language"].index(entry.group(2))
            path = path[:depth] + [entry.group(3)]
            continue
        if re.match(r"\s*Data \($", line):
            data = table.setdefault(tuple(path), bytearray())
            continue
        row = re.match(r"\s*[0-9A-F]{4}: ((?:[0-9A-F]{2,8} ?)+)\s*\|", line)
        if data is not None and row:
            data += bytes.fromhex(row.group(1).replace(" ", ""))
        elif data is not None and line.strip() == ")":
            data = None
    return table


def faults(exe, x64_exe, allowed, folders):
    found = []
    headers = readobj(exe, "--file-headers")
    if "(0xAA64)" not in field(headers, "Machine"):
        found.append(f"machine is {field(headers, 'Machine')}, not ARM64 (0xAA64)")
    if "WINDOWS_GUI" not in field(headers, "Subsystem"):
        found.append(f"subsystem is {field(headers, 'Subsystem')}, not the GUI")
    if "(0x0)" not in field(headers, "TimeDateStamp"):
        found.append(f"a time stamp in the PE header: {field(headers, 'TimeDateStamp')}")
    imports = re.findall(r"^\s*Name: (\S+\.dll)$", readobj(exe, "--coff-imports"), re.M | re.I)
    if not imports:
        found.append("no imported DLL found")
    found += [f"imports {dll}, which is not one of {allowed}"
              for dll in imports if dll.lower() not in allowed.lower().split(",")]
    found += [f"exports {name}" for name in
              re.findall(r"Export \{\s*Ordinal: \d+\s*Name: (.*)", readobj(exe, "--coff-exports"))]
    with open(exe, "rb") as f:
        image = f.read()
    for folder in folders:
        for encoding in ("utf-8", "utf-16-le"):
            if folder.encode(encoding) in image:
                found.append(f"carries the build path {folder} ({encoding})")
    if len(image) >= MAX_SIZE:
        found.append(f"{len(image)} bytes, not under {MAX_SIZE}")
    mine, theirs = resources(exe), resources(x64_exe)
    if not any(key[0].startswith("MANIFEST") for key in mine):
        found.append("no manifest resource")
    if not any(key[0].startswith("VERSION") for key in mine):
        found.append("no version resource")
    found += [f"resource {' / '.join(key)} differs from the x64 exe's"
              for key in sorted(set(mine) | set(theirs)) if mine.get(key) != theirs.get(key)]
    return found, len(image), imports


def main(exe, x64_exe, allowed, *folders):
    if not os.path.isfile(exe):
        sys.exit(f"no ARM64 exe at {exe}: the ARM64 build did not make it (see the build's output)")
    found, size, imports = faults(exe, x64_exe, allowed, folders)
    for fault in found:
        print(f"{exe}: {fault}")
    if found:
        sys.exit(1)
    print(f"{exe}: ARM64 GUI, {size} bytes, imports {', '.join(imports)}, no exports, "
          "no time stamp or build path, the x64 exe's resources")


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
