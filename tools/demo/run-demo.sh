#!/usr/bin/env bash
# Runs the Quorvel demo against the recorder simulator on 127.0.0.1.
#
# The simulator serves two generated demo setups (shell scripts padded with data; never executed)
# and accepts the password "demo". A stand-in xdg-open first on PATH only notes and prints what it
# was asked to open, so downloaded files are never run.
#
#   interactive (a usable display, and --automatic not given): Quorvel opens; type 127.0.0.1 and
#       the password demo, press Download. The simulator stops when Quorvel is closed.
#   automatic (no display, or --automatic): the real window runs on a virtual display and is driven
#       through one complete download of both packages; the transcript is printed and saved, with
#       screenshots of the main phases, into the output folder. Exit status 0 when all went right.
set -euo pipefail

usage() {
  cat <<'USAGE'
Usage: run-demo.sh --simulator PATH --output DIR [--driver PATH] [--app PATH]
                   [--port N] [--automatic] [--throttle BYTES_PER_SECOND]
  --port 0 lets the simulator pick a free port (automatic mode only; Quorvel itself uses 30000).
USAGE
}

simulator= driver= app= output= port=30000 automatic=0
# Slow enough that the progress bar can be watched.
throttle=$((2 * 1024 * 1024))
while [ $# -gt 0 ]; do
  case "$1" in
    --simulator) simulator=$2; shift 2 ;;
    --driver) driver=$2; shift 2 ;;
    --app) app=$2; shift 2 ;;
    --output) output=$2; shift 2 ;;
    --port) port=$2; shift 2 ;;
    --throttle) throttle=$2; shift 2 ;;
    --automatic) automatic=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "run-demo.sh: unknown argument $1" >&2; usage >&2; exit 2 ;;
  esac
done
if [ -z "$simulator" ] || [ -z "$output" ]; then usage >&2; exit 2; fi

password=demo
mkdir -p "$output"
output=$(cd "$output" && pwd -P)
software="$output/recorder-software"
downloads="$output/downloads"
bin="$output/bin"
opener_log="$output/opened.log"
rm -rf "$software" "$downloads" "$bin"
rm -f "$output"/*.png "$output/transcript.txt" "$opener_log" "$output/recorder.log"
mkdir -p "$software" "$downloads" "$bin"

# A demo setup: a short shell script that would only print a line, padded with data to its size.
# It is stored without execute permission and nothing ever runs it.
make_setup() {
  local file=$1 title=$2 size=$3
  printf '#!/bin/sh\n# %s demo setup, generated for the Quorvel demo. Never executed.\necho "%s demo setup: nothing to install."\nexit 0\n# padding follows\n' \
    "$title" "$title" >"$file"
  local header
  header=$(stat -c %s "$file")
  head -c $((size - header)) /dev/urandom >>"$file"
  chmod 0644 "$file"
}
make_setup "$software/varnoxsetup.exe" Varnox $((3 * 1024 * 1024))
make_setup "$software/kellidsetup.exe" Kellid $((2 * 1024 * 1024 + 512 * 1024))

# The stand-in for the desktop's "open" action: harmless, but visible.
cat >"$bin/xdg-open" <<OPENER
#!/bin/sh
# Quorvel demo: notes what it was asked to open instead of opening it.
printf '%s\t%s\n' "\$1" "\$(pwd -P)" >>'$opener_log'
echo "[demo xdg-open] asked to open \$1 in \$(pwd -P); the demo runs nothing." >&2
OPENER
chmod 0755 "$bin/xdg-open"

simulator_pid=
stop_simulator() {
  if [ -n "$simulator_pid" ]; then
    kill "$simulator_pid" 2>/dev/null || true
    wait "$simulator_pid" 2>/dev/null || true
    simulator_pid=
  fi
}
trap stop_simulator EXIT
trap 'exit 130' INT TERM

# The log exists before the simulator starts: the shell opens it in the simulator's process, which
# may not have run yet when the loop below first reads it.
: >"$output/recorder.log"
"$simulator" --root "$software" --port "$port" --password "$password" --throttle "$throttle" \
  >>"$output/recorder.log" 2>&1 &
simulator_pid=$!
listening=
for _ in $(seq 1 100); do
  listening=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$output/recorder.log")
  [ -n "$listening" ] && break
  if ! kill -0 "$simulator_pid" 2>/dev/null; then break; fi
  sleep 0.1
done
if [ -z "$listening" ]; then
  echo "run-demo.sh: the recorder simulator did not start:" >&2
  cat "$output/recorder.log" >&2
  exit 1
fi
echo "Recorder simulator on 127.0.0.1:$listening (password \"$password\"), serving $software"

display_usable() {
  [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -n "$driver" ] && "$driver" --check-display >/dev/null 2>&1
}

if [ "$automatic" = 0 ] && display_usable; then
  if [ -z "$app" ]; then echo "run-demo.sh: --app is needed with a display" >&2; exit 2; fi
  if [ "$listening" != 30000 ]; then
    echo "run-demo.sh: Quorvel talks to port 30000 only; start the simulator there" >&2
    exit 2
  fi
  cat <<TEXT

Quorvel opens now. In its window:
  - type 127.0.0.1 as the recorder address and $password as the password,
  - leave both packages ticked, type $downloads as the temporary directory,
  - press Download, answer the questions; the setups are "started" by a stand-in that only
    prints what it would open (see $opener_log).
Close Quorvel to end the demo; the simulator stops with it.

TEXT
  PATH="$bin:$PATH" "$app" || true
  exit 0
fi

if [ -z "$driver" ]; then echo "run-demo.sh: --driver is needed without a display" >&2; exit 2; fi
echo "Driving the Quorvel window on a virtual display; transcript and screenshots go to $output"
status=0
PATH="$bin:$PATH" QUORVEL_SCREEN=1024x768x24 "$(dirname "$0")/../../scripts/virtual-display.sh" \
  "$driver" --port "$listening" --password "$password" --recorder-folder "$software" \
  --download-folder "$downloads" --output "$output" --opener-log "$opener_log" 2>&1 |
  tee "$output/transcript.txt" || status=$?
echo "Transcript: $output/transcript.txt; screenshots: $output/*.png; the recorder's packet log: $output/recorder.log"
exit "$status"
