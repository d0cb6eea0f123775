#!/bin/sh
# Runs a command on a virtual X server of its own and stops the server afterwards; the command's
# exit status is the script's. The server picks a free display number itself (-displayfd), so any
# number of these run side by side without a lock, and whatever DISPLAY names is left alone: tests
# that press keys and move the pointer neither meet each other nor touch an operator's desktop.
#   QUORVEL_SCREEN  the screen's geometry and depth (default 1280x1024x24)
set -eu
if [ $# -eq 0 ]; then
    echo "Usage: virtual-display.sh COMMAND [ARGUMENT...]" >&2
    exit 2
fi

number_file=$(mktemp "${TMPDIR:-/tmp}/quorvel-display.XXXXXX")
Xvfb -displayfd 3 -screen 0 "${QUORVEL_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$number_file" \
    >/dev/null 2>&1 &
server=$!
stop_server() {
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    rm -f "$number_file"
}
trap stop_server EXIT
trap 'exit 143' HUP INT TERM

# The server writes its display number once it accepts connections (10 s at most).
waited=0
until grep -q '^[0-9][0-9]*$' "$number_file"; do
    if ! kill -0 "$server" 2>/dev/null || [ "$waited" -ge 200 ]; then
        echo "virtual-display.sh: the virtual X server (Xvfb) did not start" >&2
        exit 1
    fi
    sleep 0.05
    waited=$((waited + 1))
done

status=0
DISPLAY=":$(cat "$number_file")" "$@" || status=$?
exit "$status"
