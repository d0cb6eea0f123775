#!/usr/bin/env bash
# Proves that the layering check catches what it is for: in a copy of src/, each planted include
# (a layer reaching up, a platform header in the core) must make the check fail.
set -euo pipefail
check=$1
src=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

plants=(
  'net/ByteBuffer.cpp|#include "protocol/ProtocolSession.h"'
  'wire/CommandPacket.cpp|#include "net/ByteBuffer.h"'
  'ui/Dialog.cpp|#include "app/Resources.h"'
  'protocol/EventQueue.cpp|#include <sys/socket.h>'
  'support/RefString.cpp|#include <wx/string.h>'
  'cli/FetchOutput.cpp|#include "ui/Dialog.h"'
  'cli/FetchOutput.cpp|#include "app/QuorvelDlg.h"'
  'app/StatusTable.cpp|#include "cli/FetchOutput.h"'
)
for plant in "${plants[@]}"; do
  file=${plant%%|*}
  include=${plant#*|}
  rm -rf "$scratch/src"
  cp -R "$src" "$scratch/src"
  sed -i "1i $include" "$scratch/src/$file"
  if "$check" "$scratch/src" >/dev/null; then
    echo "not caught: $include in $file"
    exit 1
  fi
done
"$check" "$src"
