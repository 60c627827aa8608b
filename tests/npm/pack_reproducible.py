"""npm pack of the staged package, normalized, gives the same bytes again:
from a copy whose files were made in the other order, with other times and
modes. Usage: pack_reproducible.py NORMALIZE_SCRIPT STAGE_DIR TARBALL"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile


def main():
    normalize, stage, tarball = sys.argv[1:]
    files = sorted(os.path.relpath(os.path.join(root, name), stage)
                   for root, _, names in os.walk(stage) for name in names)
    folder = tempfile.mkdtemp(prefix="pellorin-pack-")
    try:
        copy = os.path.join(folder, "pellorin")
        for at, name in enumerate(reversed(files)):
            os.makedirs(os.path.dirname(os.path.join(copy, name)), exist_ok=True)
            shutil.copyfile(os.path.join(stage, name), os.path.join(copy, name))
            os.utime(os.path.join(copy, name), (1_000_000_000 + at * 7919,) * 2)
            os.chmod(os.path.join(copy, name), 0o600 if at % 2 else 0o664)
        subprocess.run(["npm", "pack", "--ignore-scripts", "--loglevel=error",
                        "--pack-destination", folder], cwd=copy, check=True, capture_output=True,
                       env={**os.environ, "npm_config_cache": os.path.join(folder, ".npm")})
        again = os.path.join(folder, os.path.basename(tarball))
        subprocess.run([sys.executable, normalize, again], check=True)
        if not filecmp.cmp(again, tarball, shallow=False):
            print(f"FAIL: {again} differs from {tarball}", file=sys.stderr)
            sys.exit(1)
        print(f"{os.path.basename(tarball)}: the same {os.path.getsize(tarball)} bytes again")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
