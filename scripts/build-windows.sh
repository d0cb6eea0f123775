#!/usr/bin/env bash
# Cross-builds Quorvel for 64-bit Windows with MinGW-w64 (installing the Debian packages it needs)
# and writes dist/quorvel-<version>-windows-x64.zip: Quorvel.exe, quorvel-fetch.exe,
# quorvel-recorder-sim.exe and a short README; and beside it the installer
# dist/quorvel-<version>-windows-x64.msi of the same files (packaging/windows). The programs are
# linked statically and need only Windows' own DLLs; each is tried under Wine before it is packed.
# QUORVEL_WERROR=ON makes every compiler warning an error, as CI does.
#
#   scripts/build-windows.sh [BUILD_DIRECTORY]     (default build-windows-release)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
QUORVEL_PACKAGES+=("${QUORVEL_WINDOWS_PACKAGES[@]}")
quorvel_ensure_packages

build=${1:-build-windows-release}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DQUORVEL_WERROR="${QUORVEL_WERROR:-OFF}"
cmake --build "$build" -j"$(nproc)" --target Quorvel quorvel-fetch quorvel-recorder-sim quorvel_msi

version=$(sed -n 's/^project(Quorvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=$build/dist/quorvel-$version-windows-x64
rm -rf "$stage"
mkdir -p "$stage" dist
cp "$build/src/app/Quorvel.exe" "$build/src/cli/quorvel-fetch.exe" "$build/tools/recorder-sim/quorvel-recorder-sim.exe" \
  "$stage/"
cp "$build/packaging/windows/README.txt" "$stage/"

# Only Windows' own libraries may be imported.
for program in "$stage"/*.exe; do
    x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p' | while read -r dll; do
        case "${dll,,}" in
        kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | shell32.dll | ole32.dll | ws2_32.dll | msvcrt.dll | advapi32.dll) ;;
        *) echo "$program imports $dll, which Windows does not ship" >&2; exit 1 ;;
        esac
    done
done

# The programs as shipped start under Wine and answer --help, --version and (the console programs)
# an unknown option (the runner's words are split at blanks: the build path must have none).
tests/tools/program-options.sh --runner "$PWD/scripts/wine-run.sh $(cd "$build" && pwd)/wine-prefix" "$version" \
  "$stage/quorvel-fetch.exe" "$stage/quorvel-recorder-sim.exe" --window "$stage/Quorvel.exe"

zip=$PWD/dist/quorvel-$version-windows-x64.zip
rm -f "$zip"
(cd "$build/dist" && zip -q -r "$zip" "quorvel-$version-windows-x64")
cp "$build/quorvel-$version-windows-x64.msi" dist/
echo "$zip"
echo "$PWD/dist/quorvel-$version-windows-x64.msi"
