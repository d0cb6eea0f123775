#!/bin/sh
# Runs a test program on a virtual X server of its own (see scripts/virtual-display.sh), so the
# window tests run in parallel and never on the desktop that DISPLAY may name. Under the leak
# checker, what the desktop libraries keep until exit is not reported.
here=$(cd "$(dirname "$0")" && pwd)
LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LSAN_OPTIONS
exec "$here/../../../scripts/virtual-display.sh" "$@"
