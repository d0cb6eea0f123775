#!/usr/bin/env bash
# Runs the Windows test suite of a cross-build under Wine: run-windows-tests.sh BUILD_DIRECTORY
#
# One Wine prefix (made on first use), one wineserver kept for the whole run, and one virtual X
# display for the windows. Wine takes Windows' time zone from TZ; the run uses UTC.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all TZ=UTC

"$here/wine-run.sh" "$WINEPREFIX" cmd /c exit 0
export build
exec flock "${TMPDIR:-/tmp}/quorvel-xvfb.lock" xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wineserver -p
    trap "wineserver -k || true" EXIT
    ctest --test-dir "$build" --output-on-failure -j2 --timeout 300'
