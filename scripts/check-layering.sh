#!/usr/bin/env bash
# Fails when a source under src/ includes something its layer must not see: a header of a layer
# above it, or an operating-system or toolkit header outside os/<platform>/ and ui/<backend>/.
#
#   scripts/check-layering.sh [src-directory]
#
# Layers from the bottom: os, support, wire, net, protocol, app; ui sits beside the core and is
# used by app only. cli (quorvel-fetch) sits on app but has no window: the app headers it includes
# must not include ui/ themselves.
set -uo pipefail
src=${1:-"$(dirname "$0")/../src"}

allowed_for() {
  case "$1" in
    os) echo "os" ;;
    support) echo "os support" ;;
    wire) echo "os support wire" ;;
    net) echo "os support wire net" ;;
    protocol) echo "os support wire net protocol" ;;
    ui) echo "os support ui" ;;
    app) echo "os support wire net protocol ui app" ;;
    cli) echo "os support wire net protocol app cli" ;;
    *) echo "" ;;
  esac
}

platform_headers='^#[[:space:]]*include[[:space:]]*<(wx/|gtk/|gdk/|glib|X11/|windows\.h|winsock|ws2|shlobj|shellapi|commctrl|objbase|sys/|unistd\.h|netinet/|arpa/|netdb\.h|poll\.h|fcntl\.h|pthread\.h|dirent\.h|spawn\.h)'

failures=0
while IFS= read -r -d '' file; do
  relative=${file#"$src"/}
  layer=${relative%%/*}
  allowed=$(allowed_for "$layer")
  if [ -z "$allowed" ]; then
    echo "$relative: not in a known layer"
    failures=$((failures + 1))
    continue
  fi
  while IFS= read -r line; do
    number=${line%%:*}
    target=$(sed -E 's/^.*#[[:space:]]*include[[:space:]]*"([a-z0-9]+)\/.*$/\1/' <<<"${line#*:}")
    if [[ " $allowed " != *" $target "* ]]; then
      echo "$relative:$number: $layer must not include $target/ (${line#*:})"
      failures=$((failures + 1))
    fi
  done < <(grep -nE '^#[[:space:]]*include[[:space:]]*"[a-z0-9]+/' "$file")

  if [ "$layer" = cli ]; then
    while IFS= read -r line; do
      header=$(sed -E 's/^.*#[[:space:]]*include[[:space:]]*"(app\/[^"]+)".*$/\1/' <<<"${line#*:}")
      if grep -qE '^#[[:space:]]*include[[:space:]]*"ui/' "$src/$header" 2>/dev/null; then
        echo "$relative:${line%%:*}: cli must not include $header, which brings in the window layer"
        failures=$((failures + 1))
      fi
    done < <(grep -nE '^#[[:space:]]*include[[:space:]]*"app/' "$file")
  fi

  case "$relative" in
    os/posix/* | os/win32/* | ui/wx/* | ui/win32/*) ;;
    *)
      while IFS= read -r line; do
        echo "$relative:${line%%:*}: platform header outside os/<platform> and ui/<backend> (${line#*:})"
        failures=$((failures + 1))
      done < <(grep -nE "$platform_headers" "$file")
      ;;
  esac
done < <(find "$src" -mindepth 2 \( -name '*.h' -o -name '*.cpp' \) -print0)

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) break the layering"
  exit 1
fi
echo "layering holds"
