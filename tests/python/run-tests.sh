#!/bin/bash
# The Python package's tests with Debian's python3 and pytest, over the
# package as the build lays it out (PYTHONPATH=build/python), against the
# build's pellorin-cli.
#
# Usage: run-tests.sh PACKAGE-DIR PELLORIN-CLI
# Exit status 77 (a skip) where the module was not built or pytest is missing.

set -u
readonly packages=$1 cli=$2 python=/usr/bin/python3
if ! compgen -G "$packages/pellorin/_pellorin.*.so" >/dev/null; then
    echo "SKIP: no Python module in $packages: it is built only with python3-dev and pybind11-dev, and not in sanitizer builds"
    exit 77
fi
if ! "$python" -c "import pytest" 2>/dev/null; then
    echo "SKIP: $python has no pytest (python3-pytest)"
    exit 77
fi
cd "$(dirname "$0")" || exit 2
PYTHONPATH=$packages PELLORIN_CLI=$cli exec "$python" -m pytest -p no:cacheprovider -q -rs .
