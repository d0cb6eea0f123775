#!/usr/bin/env bash
# Builds the Debian package dist/quorvel_<version>_<architecture>.deb and checks it.
#
# The programs are built with Debian's hardening flags in build-package/, installed stripped into a
# staging tree, and packed with dpkg-deb. The version is the project version in CMakeLists.txt; the
# library dependencies are computed from the programs by dpkg-shlibdeps. Afterwards the desktop
# entry, the AppStream metadata and the whole package are validated; an error fails the script,
# warnings are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quorvel_ensure_packages
quorvel_ensure_packages "${QUORVEL_PACKAGING_PACKAGES[@]}"
umask 022

build=build-package
stage=$build/stage
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# The time of the last commit for every date in the package, so that the same source packs alike.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || date +%s)
export SOURCE_DATE_EPOCH

# Build type None: only the flags given here, as Debian builds CMake projects.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=OFF -DQUORVEL_BUILD_WX=ON
# Only what is installed.
cmake --build "$build" -j"$(nproc)" --target quorvel quorvel-fetch quorvel-recorder-sim manual_pages

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
architecture=$(dpkg --print-architecture)
[ -n "$version" ] || { echo "no project version in $build/CMakeCache.txt" >&2; exit 1; }

rm -rf "$stage"
DESTDIR="$PWD/$stage" cmake --install "$build" --strip
# What Debian's own packaging strips besides: compiler notes nobody reads at run time.
strip --remove-section=.comment --remove-section=.note "$stage"/usr/bin/*
doc=$stage/usr/share/doc/quorvel
mkdir -p "$doc" "$stage/DEBIAN"
install -m 0644 packaging/debian/copyright "$doc/copyright"
sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$(date -u -R -d "@$SOURCE_DATE_EPOCH")/" \
  packaging/debian/changelog.in | gzip -9n >"$doc/changelog.gz"
chmod 0644 "$doc/changelog.gz"

# dpkg-shlibdeps reads the package's name from a debian/control of a source tree.
shlibs=$(mktemp -d)
trap 'rm -rf "$shlibs"' EXIT
mkdir "$shlibs/debian"
printf 'Source: quorvel\n\nPackage: quorvel\nArchitecture: any\n' >"$shlibs/debian/control"
depends=$(cd "$shlibs" && dpkg-shlibdeps -O -e"$OLDPWD/$stage/usr/bin/quorvel" \
  -e"$OLDPWD/$stage/usr/bin/quorvel-fetch" -e"$OLDPWD/$stage/usr/bin/quorvel-recorder-sim" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "dpkg-shlibdeps found no dependencies" >&2; exit 1; }

installed_size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCHITECTURE@/$architecture/" \
  -e "s/@INSTALLED_SIZE@/$installed_size/" -e "s/@DEPENDS@/$depends/" \
  packaging/debian/control.in >"$stage/DEBIAN/control"
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

mkdir -p dist
package=dist/quorvel_${version}_${architecture}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$package"

echo "== desktop-file-validate"
desktop-file-validate "$stage/usr/share/applications/quorvel.desktop"
echo "== appstreamcli validate"
# Warnings do not fail the check (the component id is not a reverse domain name); errors do.
metainfo_report=$(appstreamcli validate --no-net "$stage/usr/share/metainfo/quorvel.metainfo.xml" 2>&1 || true)
echo "$metainfo_report"
if grep -q '^E:' <<<"$metainfo_report"; then
  echo "the AppStream metadata has errors" >&2
  exit 1
fi
echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$package"
echo "built $package"
