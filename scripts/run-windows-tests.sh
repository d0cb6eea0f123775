#!/usr/bin/env bash
# Runs the Windows test suite of a cross-build under Wine:
#   run-windows-tests.sh BUILD_DIRECTORY [CTEST_ARGUMENT...]
#
# One Wine prefix (made on first use), one wineserver kept for the whole run, and one virtual X
# display of the run's own (scripts/virtual-display.sh), shared by every window of the run: Wine's
# desktop lives on the display of the process that started it. Wine takes Windows' time zone from
# TZ; the run uses UTC.
set -euo pipefail
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all TZ=UTC

"$here/wine-run.sh" "$WINEPREFIX" cmd /c exit 0
# That Wine session has no display: it ends before the run's own begins on the virtual one, whose
# desktop the windows and new consoles need.
wineserver --wait
# The commands are given inline: a shell started by the display script knows no function of ours.
exec "$here/virtual-display.sh" sh -c '
    build=$1
    shift
    wineserver -p
    trap "wineserver -k || true" EXIT
    # Up once before the tests: the desktop and its services, which a console of its own needs too.
    wine cmd /c exit 0 >/dev/null 2>&1
    # Held for the whole run by a program that waits for its input to end: Wine stops the desktop
    # once no program of its own runs, and whichever program starts it again decides its display
    # (one started without DISPLAY, as the --help test does, would leave later windows none).
    hold=$(mktemp -u "${TMPDIR:-/tmp}/quorvel-wine-hold.XXXXXX")
    mkfifo "$hold"
    wine cmd /c "set /p _=" <"$hold" >/dev/null 2>&1 &
    exec 3>"$hold"
    rm -f "$hold"
    ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 "$@"' sh "$build" "$@"
