"""Rewrites the tarball npm pack wrote with its entries in name order:
npm keeps the order the folder lists them in, which differs from one file
system to the next. Every entry keeps npm's fixed time and gets the same
owner and mode; gzip's header carries no time.
Usage: normalize-tarball.py TARBALL"""

import gzip
import io
import sys
import tarfile

# The time npm pack gives every entry: 1985-10-26 08:15:00 UTC.
NPM_TIME = 499162500


def main():
    path = sys.argv[1]
    with tarfile.open(path, "r:gz") as tar:
        entries = [(member, tar.extractfile(member).read()) for member in tar.getmembers()
                   if member.isfile()]
    out = io.BytesIO()
    with tarfile.open(fileobj=out, mode="w", format=tarfile.USTAR_FORMAT) as tar:
        for member, data in sorted(entries, key=lambda entry: entry[0].name):
            info = tarfile.TarInfo(member.name)
            info.size = len(data)
            info.mtime = NPM_TIME
            info.mode = 0o755 if member.mode & 0o100 else 0o644
            info.uid = info.gid = 0
            info.uname = info.gname = ""
            tar.addfile(info, io.BytesIO(data))
    with open(path, "wb") as file:
        file.write(gzip.compress(out.getvalue(), compresslevel=9, mtime=0))


if __name__ == "__main__":
    main()
