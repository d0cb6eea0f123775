#!/usr/bin/env bash
# Quorvel's main job: installs what is missing, builds, and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quorvel_ensure_packages

cmake -S . -B build
cmake --build build -j"$(nproc)"

echo "Quorvel is built (build/). The end-to-end demo is not assembled yet."
