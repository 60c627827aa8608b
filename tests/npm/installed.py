"""The npm package as a user meets it: installed from its tarball into an
empty folder with npm, offline, then
  node     the README's node --test example run as printed, then this
           folder's *.test.mjs with node --test;
  types    a TypeScript user's file checked by Debian's tsc against the
           package's declarations;
  browser  the package imported by a page in headless Chromium.
A client that cannot start skips (77) with the reason.
Usage: installed.py MODE TARBALL PELLORIN_CLI SOURCE_DIR"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "web"))
from pagedriver import check, fail, skip  # noqa: E402


def run(command, folder, env=None, shell=False):
    done = subprocess.run(command, cwd=folder, shell=shell, capture_output=True, text=True,
                          env={**os.environ, **(env or {})}, timeout=600)
    output = done.stdout + done.stderr
    check(done.returncode == 0, f"{command} failed ({done.returncode}):\n{output}")
    return output


def readme_example(source_dir):
    """The README's node --test example: (file name, code, shell lines)."""
    with open(os.path.join(source_dir, "README.md"), encoding="utf-8") as file:
        text = file.read()
    section = text.split("### node --test", 1)[1].split("\n## ", 1)[0]
    name = re.search(r"in `([\w.-]+\.test\.mjs)`:", section).group(1)
    code = re.search(r"```js\n(.*?)```", section, re.S).group(1)
    lines = re.search(r"```sh\n(.*?)```", section, re.S).group(1).splitlines()
    return name, code, lines


def main():
    if len(sys.argv) != 5:
        fail("usage: installed.py MODE TARBALL PELLORIN_CLI SOURCE_DIR")
    mode, tarball, program, source_dir = sys.argv[1:]
    if mode == "types" and not shutil.which("tsc"):
        skip("tsc is missing (make deps installs node-typescript)")
    folder = tempfile.mkdtemp(prefix="pellorin-npm-")
    try:
        shutil.copy(tarball, folder)
        # Offline, with a cache of its own: a package that needed the
        # registry would fail here.
        npm_env = {"npm_config_cache": os.path.join(folder, ".npm"), "npm_config_offline": "true",
                   "npm_config_audit": "false", "npm_config_fund": "false",
                   "npm_config_update_notifier": "false"}
        env = {**npm_env, "PELLORIN_CLI": program,
               "PELLORIN_GOLDEN": os.path.join(source_dir, "tests", "golden", "same-bytes.tsv")}
        if mode == "node":
            name, code, lines = readme_example(source_dir)
            with open(os.path.join(folder, name), "w", encoding="utf-8") as file:
                file.write(code)
            for line in lines:
                print(run(line, folder, env, shell=True))
            for test in glob.glob(os.path.join(HERE, "*.test.mjs")):
                shutil.copy(test, folder)
            tests = sorted(os.path.basename(t) for t in glob.glob(os.path.join(HERE, "*.test.mjs")))
            print(run(["node", "--test", *tests], folder, env))
        else:
            run(["npm", "install", "--ignore-scripts", os.path.basename(tarball)], folder, npm_env)
            if mode == "types":
                shutil.copy(os.path.join(HERE, "consumer.mts"), folder)
                print(run(["tsc", "--noEmit", "--strict", "--target", "es2020", "--module", "node16",
                           "--moduleResolution", "node16", "consumer.mts"], folder))
            elif mode == "browser":
                from browser import run_in_browser
                run_in_browser(folder, program)
            else:
                fail(f"unknown mode {mode}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
