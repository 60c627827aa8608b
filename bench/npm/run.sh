#!/bin/sh
# The npm package's benchmark: @faker-js/faker at the version the lock file
# pins, in BUILD_DIR/npm-bench (the build installs it for the tests; npm ci
# here otherwise, and without it a message), then bench.mjs.
# Usage: run.sh BUILD_DIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
folder=$1/npm-bench
mkdir -p "$folder"
cp "$here/package.json" "$here/package-lock.json" "$folder/"
if [ ! -e "$folder/node_modules/@faker-js/faker/package.json" ] &&
  ! (cd "$folder" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error); then
  echo "npm could not install @faker-js/faker: pellorin alone" >&2
fi
node "$here/bench.mjs" "$1/npm/pellorin" "$folder/node_modules"
