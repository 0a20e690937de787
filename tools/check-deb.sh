#!/usr/bin/env bash
# Checks a Debian package that tools/make-deb.sh made, without installing it:
# lintian finds no error, the AppStream description and the desktop entry
# validate, the manual pages render without a warning, both programs run
# from the package's tree and the bash completion offers a game's portraits.
# Usage: tools/check-deb.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
dpkg-deb -x "$deb" "$tree"
fail() {
  echo "check-deb.sh: $*" >&2
  exit 1
}

echo "-- lintian"
# Warnings and notes are shown but let pass; an error fails. (Run as root,
# lintian says that it would rather not be: that line is left out.)
lintian --info --fail-on error "$deb" 2> >(grep -v 'running with root privileges' >&2)

echo "-- appstreamcli validate"
appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml

echo "-- desktop-file-validate"
# It exits 0 on warnings too: any word from it is a failure here.
report=$(desktop-file-validate "$tree"/usr/share/applications/*.desktop 2>&1) || fail "$report"
[ -z "$report" ] || fail "$report"

echo "-- manual pages"
for page in "$tree"/usr/share/man/man1/*.1.gz; do
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "${page##*/}: $warnings"
  MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q '^SYNOPSIS' || fail "${page##*/} has no SYNOPSIS"
  echo "${page##*/}: renders without warnings"
done

echo "-- programs"
# portrait-editor answers --version before it looks for a display.
version=$(dpkg-deb -f "$deb" Version)
for program in portrait-editor portrait-tool; do
  first=$("$tree/usr/bin/$program" --version | head -n 1)
  [ "$first" = "$program $version" ] || fail "$program --version says '$first', not '$program $version'"
  echo "$first"
done

echo "-- bash completion"
# The completion of `portrait-tool --base DEMO export ` lists the demo
# game's portraits, read with the packaged portrait-tool.
"$tree/usr/bin/portrait-tool" make-demo "$work/demo" >/dev/null
names=$(PATH=$tree/usr/bin:$PATH bash -c '
  source /usr/share/bash-completion/bash_completion
  source "$1/usr/share/bash-completion/completions/portrait-tool"
  COMP_WORDS=(portrait-tool --base "$2" export "")
  COMP_CWORD=4
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  _portrait_tool portrait-tool "" export
  printf "%s\n" "${COMPREPLY[@]}"' check "$tree" "$work/demo")
expected=$("$tree/usr/bin/portrait-tool" --base "$work/demo" list | awk '{ print $5 }')
[ "$(sort <<<"$names")" = "$(sort <<<"$expected")" ] ||
  fail "the completion offers '$(tr '\n' ' ' <<<"$names")' rather than the demo's portraits"
echo "portrait names: $(wc -l <<<"$names") of the demo game"

echo "${deb##*/}: all checks passed"
