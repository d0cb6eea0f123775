#!/bin/sh
# Runs a test program on the current display, or, when there is none, on a virtual X server of its
# own. Virtual servers are started one at a time: picking a free display number races otherwise.
# Under the leak checker, what the desktop libraries keep until exit is not reported.
here=$(cd "$(dirname "$0")" && pwd)
LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LSAN_OPTIONS
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
exec flock "${TMPDIR:-/tmp}/quorvel-xvfb.lock" xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
