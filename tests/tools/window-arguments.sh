#!/bin/sh
# The window program opens its window whatever it is given: the toolkit's own options reach the
# toolkit, an unknown option is one line on standard error. Run on a display of its own:
#
#   virtual-display.sh window-arguments.sh PROGRAM
#
# DISPLAY is taken away, so that only --display can name the display the window appears on.
set -u
program=$1
name=$(basename "$program")
display=$DISPLAY
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

env -u DISPLAY "$program" --display "$display" --no-such-option >"$scratch/out" 2>"$scratch/err" &
pid=$!
shown=
for attempt in $(seq 300); do
    # The main dialog: a window of the program's class whose title begins with "Quorvel", shown.
    for id in $(xwininfo -display "$display" -root -tree | awk '/\("'"$name"'" "Quorvel"\)/ && /"Quorvel/ {print $1}'); do
        xwininfo -display "$display" -id "$id" | grep -q "Map State: IsViewable" && shown=yes
    done
    [ -n "$shown" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -TERM "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

status=0
[ -n "$shown" ] || { echo "FAIL: no window appeared"; status=1; }
# The toolkit may have warnings of its own; the program says one thing, about the unknown option.
expected="$name: unknown option --no-such-option ignored (see '$name --help')"
if [ "$(grep "^$name:" "$scratch/err")" != "$expected" ]; then
    echo "FAIL: standard error was:"
    cat "$scratch/err"
    status=1
fi
[ "$status" -eq 0 ] && echo "the window opened on the display named by --display; one line about --no-such-option"
exit "$status"
