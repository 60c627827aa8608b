#!/bin/bash
# The library as libpellorin-dev installs it, without building the package:
# the build's `cmake --install --component dev` into a folder of its own, and
# the package's autopkgtest (the README's GoogleTest example, through CMake
# and through pkg-config) run against it.
# Usage: library-consumer.sh SOURCE-DIR BUILD-DIR
set -u
readonly source=$1 build=$2
. "$(dirname "$0")/../e2e/lib.sh"
require_tools g++ cmake pkg-config
pkg-config --exists gtest_main || fail "GoogleTest's pkg-config file is missing (make deps installs libgtest-dev)"

cmake --install "$build" --component dev --prefix "$work/prefix" >"$work/install.log" \
    || { cat "$work/install.log"; fail "cmake --install failed"; }
libdir=$(dirname "$(find "$work/prefix" -name pellorin.pc)")
[ -f "$libdir/../libpellorin.a" ] || fail "no libpellorin.a beside the pkg-config folder"
mkdir "$work/tmp"
cd "$source" && AUTOPKGTEST_TMP=$work/tmp CMAKE_PREFIX_PATH=$work/prefix \
    PKG_CONFIG_PATH=$libdir${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH} sh debian/tests/library
