"""Writes the page's folder as a zip that is the same bytes for the same
files: entries in a fixed order under one folder, each dated
SOURCE_DATE_EPOCH, with the same mode. Usage:
make-zip.py OUT.zip FOLDER_NAME EPOCH FILE..."""

import os
import sys
import time
import zipfile


def main():
    out, folder, epoch, *files = sys.argv[1:]
    date = time.gmtime(max(int(epoch), 315532800))[:6]  # zip dates start in 1980
    with zipfile.ZipFile(out + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for path in sorted(files, key=os.path.basename):
            entry = zipfile.ZipInfo(f"{folder}/{os.path.basename(path)}", date_time=date)
            entry.external_attr = 0o100644 << 16
            entry.create_system = 3
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as file:
                archive.writestr(entry, file.read(), compresslevel=9)
    os.replace(out + ".part", out)


main()
