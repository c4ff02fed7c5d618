#!/usr/bin/env bash
# Soak: runs a game for some minutes, samples the process's resident memory,
# and prints the start, one-minute and end figures with the slope of the
# second half of the run.
#
#   bench/soak.sh [-m MINUTES] [-i SECONDS] [-x EXECUTABLE] [GAME_DIR]
#
# Defaults: 10 minutes, a sample every 5 s, build/release/tarnwick, the demo.
# Without a DISPLAY the game runs on an Xvfb of its own. Samples go to
# soak-rss.tsv in the current folder (seconds, resident MB).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=10 interval=5 exe=$root/build/release/tarnwick
while getopts "m:i:x:" option; do
  case $option in
    m) minutes=$OPTARG ;;
    i) interval=$OPTARG ;;
    x) exe=$OPTARG ;;
    *) sed -n '5,6p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
game=$(cd "${1:-$root/examples/demo}" && pwd)
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
[ -x "$exe" ] || { echo "no executable $exe (build it first: scripts/build.sh build/release)"; exit 2; }
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  display_file=$(mktemp)
  Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$display_file" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=:$(head -n 1 "$display_file")
  rm -f "$display_file"
fi

"$exe" --windowed "$game" >/dev/null 2>&1 &
game_pid=$!
pids=("$game_pid" "${pids[@]}")

samples=soak-rss.tsv
: >"$samples"
end=$((SECONDS + minutes * 60))
started=$SECONDS
while [ $SECONDS -lt $end ]; do
  sleep "$interval"
  rss=$(awk '/^VmRSS:/ { print $2 / 1024 }' "/proc/$game_pid/status" 2>/dev/null) ||
    { echo "the game ended after $((SECONDS - started)) s"; exit 1; }
  echo "$((SECONDS - started)) $rss" >>"$samples"
done

# The slope is fitted to the second half of the run, past the warm-up in
# which caches and the allocator's pools fill.
awk -v minutes="$minutes" '
  { at[NR] = $1; mb[NR] = $2 }
  $1 <= 60 { minute = $2; minuteAt = $1 }
  END {
    half = at[NR] / 2
    for (i = 1; i <= NR; i++)
      if (at[i] >= half) { n++; sx += at[i]; sy += mb[i]; sxx += at[i] * at[i]; sxy += at[i] * mb[i] }
    printf "resident memory over %d min (%d samples)\n", minutes, NR
    printf "  start       %8.1f MB at %4d s\n", mb[1], at[1]
    printf "  one minute  %8.1f MB at %4d s\n", minute, minuteAt
    printf "  end         %8.1f MB at %4d s\n", mb[NR], at[NR]
    if (n > 1 && n * sxx - sx * sx > 0)
      printf "  slope over the second half: %+.3f MB/min\n", 60 * (n * sxy - sx * sy) / (n * sxx - sx * sx)
  }' "$samples"
