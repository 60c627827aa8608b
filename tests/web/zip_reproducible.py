"""The page's zip is the same bytes for the same files, whatever their
times and modes on disk, and holds exactly the page's folder."""

import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

from pagedriver import check


def main():
    make_zip, web_dir = sys.argv[1:3]
    files = sorted(os.listdir(web_dir))
    zips = []
    with tempfile.TemporaryDirectory() as scratch:
        for run, (mtime, mode) in enumerate([(1_000_000_000, 0o644), (2_000_000_000, 0o600)]):
            folder = os.path.join(scratch, str(run))
            os.mkdir(folder)
            for name in files:
                shutil.copy(os.path.join(web_dir, name), folder)
                os.chmod(os.path.join(folder, name), mode)
                os.utime(os.path.join(folder, name), (mtime, mtime))
            out = os.path.join(scratch, f"{run}.zip")
            subprocess.run([sys.executable, make_zip, out, "pellorin-web-1.0", "1796688000",
                            *[os.path.join(folder, name) for name in reversed(files)]], check=True)
            with open(out, "rb") as file:
                zips.append(file.read())
        check(zips[0] == zips[1], "two packings of the same files differ")
        with zipfile.ZipFile(os.path.join(scratch, "0.zip")) as archive:
            names = archive.namelist()
            check(names == [f"pellorin-web-1.0/{name}" for name in files], f"entries {names}")
            check(archive.testzip() is None, "a damaged entry")
    print(f"{len(files)} files, {len(zips[0])} bytes, the same twice")


main()
