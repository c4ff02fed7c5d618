#!/usr/bin/env bash
# Runs a command on an X display of its own, a virtual framebuffer (Xvfb):
#
#   scripts/on-xvfb.sh [-screen WxHxDEPTH] COMMAND [ARGS...]   (default 1280x1024x24)
#
# The server never resets. By default Xvfb resets whenever its last client
# leaves, and closes or refuses the connections that arrive meanwhile: of test
# processes that come and go, one now and then fails at once. It cannot open
# the display, or, when it had not yet sent its connection setup, dies of
# SIGPIPE sending it (Xlib leaves SIGPIPE at its default).
set -euo pipefail
screen=1280x1024x24
if [ "${1:-}" = "-screen" ]; then
  screen=$2
  shift 2
fi
exec xvfb-run -a -s "-screen 0 $screen -noreset" "$@"
