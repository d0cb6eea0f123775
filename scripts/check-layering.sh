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

# Sets `allowed` to the layers that layer $1 may include; empty for an unknown layer.
set_allowed() {
  case "$1" in
    os) allowed="os" ;;
    support) allowed="os support" ;;
    wire) allowed="os support wire" ;;
    net) allowed="os support wire net" ;;
    protocol) allowed="os support wire net protocol" ;;
    ui) allowed="os support ui" ;;
    app) allowed="os support wire net protocol ui app" ;;
    cli) allowed="os support wire net protocol app cli" ;;
    *) allowed="" ;;
  esac
}

# One grep reads every include line, and bash matches them: a process per file or per line made the
# check crawl on a busy machine.
layer_include='^#[[:space:]]*include[[:space:]]*"([a-z0-9]+)/'
app_include='^#[[:space:]]*include[[:space:]]*"(app/[^"]+)"'
ui_include='^#[[:space:]]*include[[:space:]]*"ui/'
platform_headers='^#[[:space:]]*include[[:space:]]*<(wx/|gtk/|gdk/|glib|X11/|windows\.h|winsock|ws2|shlobj|shellapi|commctrl|objbase|sys/|unistd\.h|netinet/|arpa/|netdb\.h|poll\.h|fcntl\.h|pthread\.h|dirent\.h|spawn\.h)'

failures=0
fail() {
  echo "$1"
  failures=$((failures + 1))
}

mapfile -d '' files < <(find "$src" -mindepth 2 \( -name '*.h' -o -name '*.cpp' \) -print0)
for file in "${files[@]}"; do
  relative=${file#"$src"/}
  set_allowed "${relative%%/*}"
  [ -n "$allowed" ] || fail "$relative: not in a known layer"
done

# FILE:NUMBER:TEXT for every include line.
includes=()
[ ${#files[@]} -gt 0 ] && mapfile -t includes < <(grep -HnE '^#[[:space:]]*include' "${files[@]}")

# The app headers that bring in the window layer themselves.
declare -A windowed=()
for entry in "${includes[@]}"; do
  relative=${entry#"$src"/}
  relative=${relative%%:*}
  text=${entry#*:*:}
  if [[ $relative == app/* && $text =~ $ui_include ]]; then
    windowed[$relative]=1
  fi
done

for entry in "${includes[@]}"; do
  location=${entry#"$src"/}
  location=${location%:"${entry#*:*:}"}
  relative=${location%%:*}
  text=${entry#*:*:}
  layer=${relative%%/*}
  set_allowed "$layer"
  [ -n "$allowed" ] || continue
  if [[ $text =~ $layer_include ]]; then
    target=${BASH_REMATCH[1]}
    if [[ " $allowed " != *" $target "* ]]; then
      fail "$location: $layer must not include $target/ ($text)"
    fi
  fi
  if [[ $layer == cli && $text =~ $app_include ]] && [ -n "${windowed[${BASH_REMATCH[1]}]:-}" ]; then
    fail "$location: cli must not include ${BASH_REMATCH[1]}, which brings in the window layer"
  fi
  case "$relative" in
    os/posix/* | os/win32/* | ui/wx/* | ui/win32/*) ;;
    *)
      if [[ $text =~ $platform_headers ]]; then
        fail "$location: platform header outside os/<platform> and ui/<backend> ($text)"
      fi
      ;;
  esac
done

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) break the layering"
  exit 1
fi
echo "layering holds"
