#!/usr/bin/env bash
# The whole test suite: installs what is missing, configures, builds and runs ctest on Linux, then
# cross-builds for Windows and runs that suite under Wine (QUORVEL_WINDOWS_TESTS=OFF skips it).
# QUORVEL_SANITIZE=ON runs the Linux half under AddressSanitizer + UndefinedBehaviorSanitizer (in
# build-asan/); QUORVEL_WERROR=ON makes every compiler warning an error, as CI does.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quorvel_ensure_packages

sanitize=${QUORVEL_SANITIZE:-OFF}
werror=${QUORVEL_WERROR:-OFF}
build=build
[ "$sanitize" = ON ] && build=build-asan

cmake -S . -B "$build" -DQUORVEL_SANITIZE="$sanitize" -DQUORVEL_WERROR="$werror" -DQUORVEL_BUILD_TESTS=ON
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300

# The Windows half: the MinGW-w64 cross-build and its tests under Wine on a virtual display.
# QUORVEL_WINDOWS_TESTS=OFF skips it for a quick local run; CI runs both.
if [ "${QUORVEL_WINDOWS_TESTS:-ON}" != OFF ]; then
  started=$(date +%s)
  quorvel_ensure_packages "${QUORVEL_WINDOWS_PACKAGES[@]}"
  cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DQUORVEL_WERROR="$werror" \
    -DQUORVEL_BUILD_TESTS=ON
  cmake --build build-windows -j"$(nproc)"
  scripts/run-windows-tests.sh build-windows
  echo "Windows build and tests under Wine: $(($(date +%s) - started)) s"
fi
