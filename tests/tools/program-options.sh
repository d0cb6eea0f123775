#!/bin/sh
# Every program answers --help and --version without a display, with status 0. A command-line program
# refuses an unknown option with one line on standard error and status 2; a window program (named
# after --window) opens its window anyway, which window-arguments.sh and the Windows tests try on a
# display.
#
#   program-options.sh [--runner COMMAND] VERSION PROGRAM... [--window PROGRAM...]
#
# COMMAND (split at blanks) runs each program, as Wine runs the Windows programs; their names are then
# compared without ".exe" and in lower case, and their line ends (CR LF) are read as LF.
set -u
runner=
if [ "$1" = --runner ]; then
    runner=$2
    shift 2
fi
version=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

window=
for program in "$@"; do
    if [ "$program" = --window ]; then
        window=yes
        continue
    fi
    name=$(basename "$program" .exe | tr '[:upper:]' '[:lower:]')
    run() {
        env -u DISPLAY -u WAYLAND_DISPLAY $runner "$program" "$@" >"$scratch/out.raw" 2>"$scratch/err.raw" </dev/null
        status=$?
        tr -d '\r' <"$scratch/out.raw" >"$scratch/out"
        tr -d '\r' <"$scratch/err.raw" >"$scratch/err"
        return $status
    }

    run --help
    status=$?
    [ "$status" -eq 0 ] || fail "$name --help: status $status"
    head -n 1 "$scratch/out" | grep -q "^Usage: $name" || fail "$name --help: no usage line"
    [ -s "$scratch/err" ] && fail "$name --help wrote to standard error"

    run --version
    status=$?
    [ "$status" -eq 0 ] || fail "$name --version: status $status"
    [ "$(cat "$scratch/out")" = "$name $version" ] || fail "$name --version printed '$(cat "$scratch/out")'"

    if [ -n "$window" ]; then
        # The toolkit's own options may stand before it.
        run --display :99 --version
        [ "$(cat "$scratch/out")" = "$name $version" ] || fail "$name --display :99 --version printed '$(cat "$scratch/out")'"
        continue
    fi
    run --no-such-option
    status=$?
    [ "$status" -eq 2 ] || fail "$name --no-such-option: status $status"
    [ "$(wc -l <"$scratch/err")" -eq 1 ] || fail "$name --no-such-option: not one line on standard error"
    grep -q "^$name: unknown option --no-such-option" "$scratch/err" || fail "$name: unclear error '$(cat "$scratch/err")'"
    [ -s "$scratch/out" ] && fail "$name --no-such-option wrote to standard output"
done

[ "$failures" -eq 0 ] || exit 1
echo "every program answers --help and --version, every command-line program an unknown option"
