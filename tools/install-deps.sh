#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
# Usage: tools/install-deps.sh [build|package|test]   (default: test, which is everything)
# package is build and what tools/make-deb.sh needs to make the Debian package.
set -euo pipefail

what=${1:-test}
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libpng-dev libssl-dev nlohmann-json3-dev
  libjpeg62-turbo-dev libwebp-dev libstb-dev libimagequant-dev liblcms2-dev)
if [ "$what" = package ] || [ "$what" = test ]; then
  packages+=(dpkg-dev)
fi
if [ "$what" = test ]; then
  packages+=(clang-14 libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev)
  # The Debian package's checks (tools/check-deb.sh).
  packages+=(lintian appstream desktop-file-utils man-db groff-base bash-completion)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "These packages are missing and I am not root (and there is no sudo): ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
