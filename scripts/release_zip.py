#!/usr/bin/env python3
"""Writes the release zip so that its bytes come from its files alone.

release_zip.py ZIP EPOCH FILE=NAME...

Each FILE is stored as NAME, in the order given, deflated at level 9; every
entry carries the time EPOCH (seconds since 1970, the commit's time as
SOURCE_DATE_EPOCH gives it) read in UTC, to the zip's two seconds, and the
attributes of a plain file written on Windows, whatever machine, time zone
or umask writes the zip.
"""

import sys
import time
import zipfile


def write_zip(path, epoch, entries):
    stamp = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(path, "w") as archive:
        for source, name in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 0  # MS-DOS attributes, not a Unix mode
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE; zipfile turns a 0 into 0o600
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(source, "rb") as data:
                archive.writestr(info, data.read(), compresslevel=9)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    write_zip(sys.argv[1], int(sys.argv[2]), [entry.rsplit("=", 1) for entry in sys.argv[3:]])
