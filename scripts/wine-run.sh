#!/usr/bin/env bash
# Runs a Windows program of the cross-build under Wine: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
#
# PREFIX is the build tree's own 64-bit Wine prefix; the first run creates it (once, under a lock,
# since Wine's first start takes a while and ctest runs programs side by side). No add-on
# installers run (no .NET or HTML engine is needed), and no shortcut made under Wine becomes a
# menu entry of the Linux desktop (winemenubuilder). Windows appear on a Wine desktop of 1024 x 768
# pixels, where Wine draws the frames, captions and system menus itself as Windows does, with or
# without a window manager; they need an X display, which the Windows test run
# (scripts/run-windows-tests.sh) provides on a virtual server.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/system.reg" ]; then
            wineboot --init >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
            wineserver --wait
        fi
    ) 9>"$prefix.lock"
fi

# Windows programs end their lines with CR LF; the test listing is read by CMake line by line.
case " $* " in
*" --gtest_list_tests "*) wine "$@" | tr -d '\r' ;;
*) exec wine "$@" ;;
esac
