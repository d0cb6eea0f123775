#!/usr/bin/env bash
# Tries the built package as a user would: installs it, runs each program's --version, opens the
# installed window on a virtual display and closes it again, then purges the package and checks
# that none of its files or folders is left behind. Needs root; a quorvel installed before is purged
# first.
#
#   scripts/check-package.sh [dist/quorvel_VERSION_ARCH.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quorvel_ensure_packages xvfb x11-utils

package=${1:-$(ls dist/quorvel_*.deb | tail -n 1)}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if dpkg-query -W -f='${Status}' quorvel 2>/dev/null | grep -q "ok installed"; then
  echo "removing the quorvel installed before"
  dpkg --purge quorvel
fi

echo "== installing $package"
# Recommendations (xdg-utils) are not needed to try the package, nor fetched for it.
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "./$package"
dpkg -L quorvel >"$scratch/files"
version=$(dpkg-query -W -f='${Version}' quorvel)

echo "== --version of every program"
for program in quorvel quorvel-fetch quorvel-recorder-sim; do
  answer=$(env -u DISPLAY "/usr/bin/$program" --version)
  echo "$answer"
  [ "$answer" = "$program $version" ] || { echo "unexpected version line from $program" >&2; exit 1; }
  man -w "$program" >/dev/null
done

echo "== the installed window on a virtual display"
cat >"$scratch/open-window.sh" <<'WINDOW'
set -u
quorvel &
pid=$!
# The main dialog: a window of the program's class whose title begins with its name, shown.
for attempt in $(seq 150); do
  for id in $(xwininfo -root -tree | awk '/\("quorvel" "Quorvel"\)/ && /"Quorvel/ {print $1}'); do
    if xwininfo -id "$id" | grep -q "Map State: IsViewable"; then
      xwininfo -id "$id" | grep -E "Window id|Width|Height"
      kill -TERM "$pid"
      wait "$pid" 2>/dev/null
      exit 0
    fi
  done
  kill -0 "$pid" 2>/dev/null || { echo "quorvel ended before its window appeared"; exit 1; }
  sleep 0.1
done
echo "no Quorvel window appeared"
kill -KILL "$pid"
exit 1
WINDOW
QUORVEL_SCREEN=1024x768x24 scripts/virtual-display.sh sh "$scratch/open-window.sh"
echo "window shown and closed"

echo "== purging"
dpkg --purge quorvel
left=0
while IFS= read -r path; do
  [ "$path" = "/." ] && continue
  [ -e "$path" ] || [ -L "$path" ] || continue
  # Folders such as /usr/share/man/man1 stay with the packages that also own them.
  if [ -d "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; then
    continue
  fi
  echo "left behind: $path"
  left=$((left + 1))
done <"$scratch/files"
[ "$left" -eq 0 ] || exit 1
echo "nothing of $(wc -l <"$scratch/files") installed paths is left behind"
