#!/usr/bin/env bash
# Quorvel's main job: installs what is missing, builds, and runs the demo against the recorder
# simulator on 127.0.0.1:30000 (password "demo"; two generated demo setups that are never run).
#
#   scripts/run.sh              with a usable display Quorvel opens for you to operate; without
#                               one its real window is driven through a complete download on a
#                               virtual display
#   scripts/run.sh --automatic  the driven download even when a display is there
#
# The transcript, the screenshots and the demo's files go to demo-output/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quorvel_ensure_packages

mode=()
case "${1:-}" in
  "") ;;
  --automatic) mode=(--automatic) ;;
  *) echo "Usage: scripts/run.sh [--automatic]" >&2; exit 2 ;;
esac

cmake -S . -B build -DQUORVEL_BUILD_WX=ON
cmake --build build -j"$(nproc)" --target quorvel quorvel-recorder-sim quorvel-demo-driver

exec tools/demo/run-demo.sh "${mode[@]}" --port 30000 \
  --simulator build/tools/recorder-sim/quorvel-recorder-sim \
  --driver build/tools/demo/quorvel-demo-driver \
  --app build/src/app/quorvel \
  --output demo-output
