#!/bin/bash
# pellorin-cli.exe under Wine beside the Linux pellorin-cli, in one run:
# 50,000,000 numbers into a file each, best of two runs, and the ratio; then
# check on 10,000,000 lines with one thread and with two, best of three, on
# both.
# Usage: bench/windows-vs-linux.sh LINUX-CLI WINDOWS-EXE WINE-PREFIX
set -eu
readonly linux=$1 exe=$2 prefix=$(realpath -m "$3")
readonly wine64=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
if [ ! -x "$wine64" ] || [ ! -f "$exe" ]; then
  echo "windows-vs-linux: not run: needs $wine64 (wine64) and $exe (make windows)"
  exit 0
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$prefix"
# Wine's start-up (its server and system programs) is paid once, before
# the clock runs.
"$wineserver" -p </dev/null >/dev/null 2>&1 || true
"$wine64" "$exe" --version </dev/null >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"; "$wineserver" -k 2>/dev/null || true' EXIT

seconds() {
  local start end
  start=$(date +%s%N)
  "$@" generate --count 50000000 --seed 1 --output "$work/numbers.txt" </dev/null
  end=$(date +%s%N)
  echo $((end - start))
}

best_linux= best_wine=
for round in 1 2; do
  for side in linux wine; do
    if [ $side = linux ]; then ns=$(seconds "$linux"); else ns=$(seconds "$wine64" "$exe"); fi
    sum=$(sha256sum <"$work/numbers.txt")
    if [ $side = linux ]; then
      linux_sum=$sum
      [ -z "$best_linux" ] || [ "$ns" -lt "$best_linux" ] && best_linux=$ns
    else
      [ "$sum" = "$linux_sum" ] || { echo "windows-vs-linux: the two files differ"; exit 1; }
      [ -z "$best_wine" ] || [ "$ns" -lt "$best_wine" ] && best_wine=$ns
    fi
  done
done
awk -v l="$best_linux" -v w="$best_wine" 'BEGIN {
  printf "generate --count 50000000 --output FILE (best of 2, same bytes)\n"
  printf "  Linux pellorin-cli            %7.2f s\n", l / 1e9
  printf "  pellorin-cli.exe under Wine   %7.2f s\n", w / 1e9
  printf "  Wine / Linux                  %7.2f\n", w / l
}'

# The best of three runs of check --count on the file, in nanoseconds.
check_seconds() {
  local best= start end round
  for round in 1 2 3; do
    start=$(date +%s%N)
    "$@" --count "$work/lines.txt" </dev/null >"$work/summary" 2>&1
    end=$(date +%s%N)
    grep -q '^10000000 numbers: 10000000 valid' "$work/summary" ||
      { echo "windows-vs-linux: check said $(cat "$work/summary")"; exit 1; }
    [ -z "$best" ] || [ $((end - start)) -lt "$best" ] && best=$((end - start))
  done
  echo "$best"
}
rm -f "$work/numbers.txt"
"$linux" generate --count 10000000 --seed 1 --output "$work/lines.txt"
cat "$work/lines.txt" >/dev/null
echo "check --threads N on 10,000,000 lines (best of 3)"
for threads in 1 2; do
  l=$(check_seconds "$linux" check --threads $threads)
  w=$(check_seconds "$wine64" "$exe" check --threads $threads)
  awk -v t=$threads -v l="$l" -v w="$w" 'BEGIN {
    printf "  %d thread%s  Linux %5.2f s   Wine %5.2f s   Wine / Linux %5.2f\n",
      t, t == 1 ? " " : "s", l / 1e9, w / 1e9, w / l
  }'
done
