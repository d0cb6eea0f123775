#!/usr/bin/env bash
# Installs the Debian packages Quorvel needs to build, test, check, fuzz and run its demo, but only
# those missing. Sourced by the other scripts; `quorvel_ensure_packages NAME...` installs others
# the same way.

QUORVEL_PACKAGES=(
  cmake g++ make pkg-config clang-format-14
  libgtest-dev libgmock-dev
  libwxgtk3.2-dev wx3.2-i18n
  xvfb x11-utils imagemagick fonts-dejavu-core
)
# The fuzz targets (scripts/fuzz.sh): clang with libFuzzer and the sanitizer runtimes.
QUORVEL_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

# What building, checking and trying out the Debian package needs besides.
QUORVEL_PACKAGING_PACKAGES=(
  dpkg-dev lintian desktop-file-utils appstream man-db x11-utils
)

# The Windows build and its tests under Wine (scripts/build-windows.sh, the second half of
# scripts/test.sh); googletest holds the sources that are cross-built; wixl builds the installer
# and msitools' msiinfo reads it in its test.
QUORVEL_WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  googletest wine wine64 zip wixl msitools
)

quorvel_ensure_packages() {
  local missing=() pkg wanted=("$@")
  [ ${#wanted[@]} -eq 0 ] && wanted=("${QUORVEL_PACKAGES[@]}")
  for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
      echo "Missing packages: ${missing[*]} (run as root or install them)" >&2
      return 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}
