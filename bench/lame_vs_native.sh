#!/usr/bin/env bash
# The encoder library under Wine against Debian's native command-line
# encoder, on the same 120 s of pink noise at 128 kbit/s CBR, in one run.
#
#   bench/lame_vs_native.sh BUILD      (the bench of BUILD must be up)
set -euo pipefail
build=$(cd "${1:?usage: lame_vs_native.sh BUILD}" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
. "$build/bench/env.sh"
work=$build/bench/lame-vs-native
mkdir -p "$work"
raw=$work/pink.raw
[ -f "$raw" ] || sox -n -r 44100 -c 2 -b 16 -e signed -t raw "$raw" synth 120 pinknoise vol 0.5
secs=120

echo "native: $(lame --version | head -1)"
TIMEFORMAT='%R %U %S'
{ time lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -m s -b 128 --cbr \
    "$raw" "$work/native.mp3" ; } 2> "$work/native.time"
read -r wall user sys < <(tail -n 1 "$work/native.time")
cpu=$(echo "$user + $sys" | bc -l)
printf 'native: %.1f s of audio, wall %.3f s (%.1fx real time), cpu %.3f s (%.1fx real time)\n' \
  "$secs" "$wall" "$(echo "$secs / $wall" | bc -l)" "$cpu" "$(echo "$secs / $cpu" | bc -l)"

start=$(date +%s.%N)
BENCH=timeout:600 "$src/cmake/wine-run" "$build/bench/lame_dll_bench.exe" \
  "Z:${raw//\//\\}" "Z:${work//\//\\}\\dll.mp3"
end=$(date +%s.%N)
printf 'dll (with Wine start-up): wall %.3f s (%.1fx real time)\n' \
  "$(echo "$end - $start" | bc -l)" "$(echo "$secs / ($end - $start)" | bc -l)"
for f in native dll; do
  printf '%s.mp3: %s bytes, %s s\n' "$f" "$(stat -c %s "$work/$f.mp3")" \
    "$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/$f.mp3")"
done
