#!/usr/bin/env bash
# The suite's X display keeps every client: short-lived X clients, two at a
# time as the suite's test processes come and go, on a display made by
# scripts/on-xvfb.sh for 3 seconds; each must connect and finish. A server
# that resets when its last client leaves fails one in a hundred to one in
# eight of them, depending on the machine's load.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../../scripts/on-xvfb.sh" -screen 320x240x24 bash -c '
  end=$((SECONDS + 3))
  churn() {
    local runs=0
    while [ "$SECONDS" -lt "$end" ]; do
      if ! xdotool getdisplaygeometry >/dev/null; then
        echo "client $((runs + 1)) of loop $1 failed"
        return 1
      fi
      runs=$((runs + 1))
    done
    echo "loop $1: $runs clients, all served"
  }
  churn 1 & first=$!
  churn 2 & second=$!
  wait $first; a=$?
  wait $second; b=$?
  [ $a -eq 0 ] && [ $b -eq 0 ]
'
