#!/bin/bash
# `python3 -m pip install --no-build-isolation .` from a copy of the source,
# as the README says, offline (no package index) and with Debian's
# setuptools and pybind11, into a folder of its own (--target); then the
# installed package makes and checks numbers, and pytest finds its plugin.
#
# Usage: pip-install.sh SOURCE-DIR WORK-DIR
# Exit status 77 (a skip) where pip or pybind11 is missing.

set -u
readonly source=$1 work=$2 python=/usr/bin/python3
"$python" -m pip --version >/dev/null 2>&1 || { echo "SKIP: $python has no pip (python3-pip)"; exit 77; }
[ -e /usr/lib/cmake/pybind11/pybind11Config.cmake ] || { echo "SKIP: no pybind11 (pybind11-dev)"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work/source" || fail "$work cannot be made"
# What git tracks and what it would add, as the working tree has it; all of
# it but the build folders without git.
if git -C "$source" rev-parse --git-dir >/dev/null 2>&1; then
    (cd "$source" && git ls-files -z --cached --others --exclude-standard \
        | xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' _ \
        | tar --null --files-from=- -cf -) | tar -xf - -C "$work/source"
else
    (cd "$source" && tar --exclude='./build*' --exclude='./obj-*' -cf - .) | tar -xf - -C "$work/source"
fi || fail "the source cannot be copied"
command -v ccache >/dev/null && export CMAKE_CXX_COMPILER_LAUNCHER=ccache
(cd "$work/source" && "$python" -m pip install --no-build-isolation --no-deps --no-index \
    --target "$work/site" .) >"$work/pip.log" 2>&1 || { tail -n 40 "$work/pip.log"; fail "pip install failed"; }

mkdir "$work/suite" && cat >"$work/suite/test_installed.py" <<'PY'
import pellorin

def test_installed(pellorin_cards):
    assert pellorin.check(pellorin_cards.numbers(100, brand="unionpay")).valid
PY
(cd "$work/suite" && PYTHONPATH=$work/site "$python" -m pytest -p no:cacheprovider -q) >"$work/pytest.log" 2>&1 \
    || { cat "$work/pytest.log"; fail "the installed package fails"; }
grep -q '^1 passed' "$work/pytest.log" || { cat "$work/pytest.log"; fail "the test did not run"; }
echo "PASS: pip installed pellorin $(PYTHONPATH=$work/site "$python" -c 'import pellorin; print(pellorin.__version__)') offline into $work/site"
