#!/usr/bin/env bash
# The whole test suite: installs what is missing, configures, builds and runs ctest.
# QUORVEL_SANITIZE=ON runs it under AddressSanitizer + UndefinedBehaviorSanitizer (in build-asan/);
# QUORVEL_WERROR=ON makes every compiler warning an error, as CI does.
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
