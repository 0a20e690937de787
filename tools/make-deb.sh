#!/usr/bin/env bash
# Builds the Debian package portrait-editor_<version>_<arch>.deb from a
# release build: both programs, the desktop entry and icons, the manual
# pages, the AppStream description, bash completion for portrait-tool, the
# copyright and the changelog. The dependencies are those of the libraries
# the programs link, found by dpkg-shlibdeps.
# Usage: tools/make-deb.sh [OUTDIR]   (default: this folder)
# It prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-$root}
jobs=$(nproc 2>/dev/null || echo 2)

tools/install-deps.sh package

# The release build that ./run.sh uses too, with Debian's hardening flags
# (stack protector, fortified string functions, read-only relocations bound
# at start). -g and -O2 are left out: the programs are stripped, and the
# release build's own -O3 applies.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags=$(dpkg-buildflags --get CXXFLAGS | tr ' ' '\n' | grep -v -x -e -g -e -O2 | tr '\n' ' ')
cxxflags="$cxxflags$(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTV_WERROR=ON -DTV_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
# Only what the package holds (the install() rules' targets), not the
# release build's other programs, which ./run.sh builds when it runs.
cmake --build build/release -j "$jobs" --target portrait-editor portrait-tool icon-png

# The version is the project's (CMakeLists.txt); the changelog and the
# AppStream description must have an entry for it, so that a new version
# is not packaged without saying what changed.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
arch=$(dpkg --print-architecture)
changelog_version=$(sed -n '1s/^portrait-editor (\([^)]*\)).*/\1/p' packaging/changelog)
if [ "$changelog_version" != "$version" ]; then
  echo "make-deb.sh: packaging/changelog begins with version '$changelog_version'," \
    "but the project's version is $version; add an entry for $version at its top." >&2
  exit 1
fi
metainfo=packaging/org.example.portrait_editor.metainfo.xml
if ! grep -q "<release version=\"$version\"" "$metainfo"; then
  echo "make-deb.sh: $metainfo has no <release version=\"$version\">; add one to <releases>." >&2
  exit 1
fi
# Files in the package carry the changelog's date rather than the build's,
# so that the same sources give the same package.
SOURCE_DATE_EPOCH=$(date -d "$(sed -n 's/^ -- .*>  //p' packaging/changelog | head -n 1)" +%s)
export SOURCE_DATE_EPOCH

# The package's tree: what `cmake --install` puts below /usr. It lies where
# a Debian source tree keeps it, beside the least debian/control that
# dpkg-shlibdeps wants to see there.
stage=$root/build/deb
tree=$stage/debian/portrait-editor
rm -rf "$stage"
mkdir -p "$tree"
printf 'Source: portrait-editor\n\nPackage: portrait-editor\nArchitecture: any\n' >"$stage/debian/control"
umask 022
DESTDIR=$tree cmake --install build/release --prefix /usr >/dev/null
# Stripped as Debian strips programs: no symbols, no compiler notes.
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$tree"/usr/bin/*

# Debian keeps manual pages and changelogs gzipped (-n: no name or time
# inside, for the same bytes each time).
gzip -9n "$tree"/usr/share/man/man1/*.1
doc=$tree/usr/share/doc/portrait-editor
mkdir -p "$doc"
install -m 644 packaging/copyright "$doc/copyright"
gzip -9nc packaging/changelog >"$doc/changelog.gz"

# dpkg-shlibdeps reads the libraries' shlibs and symbols files into a
# Depends line. (A DEBIAN folder tells it the tree is a package's.)
mkdir -p "$tree/DEBIAN"
depends=$(cd "$stage" && dpkg-shlibdeps -O "$tree"/usr/bin/* | sed -n 's/^shlibs:Depends=//p')
# Qt finds the window system's platform plugin (xcb, wayland) at run time,
# so no library names it; without it the editor cannot open its window.
depends="$depends, qt6-qpa-plugins"

installed_size=$(du -k -s --apparent-size "$tree/usr" | cut -f 1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@INSTALLED_SIZE@/$installed_size/" \
  -e "s/@DEPENDS@/$depends/" packaging/control.in >"$tree/DEBIAN/control"
(cd "$tree" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$tree/DEBIAN/md5sums"
chmod 644 "$tree/DEBIAN/control" "$tree/DEBIAN/md5sums"

# Owned by root in the archive without needing root or fakeroot here.
mkdir -p "$out"
deb=$out/portrait-editor_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$tree" "$deb" >/dev/null
echo "$deb"
