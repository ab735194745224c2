#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deps="$here/.deps"

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
  cmake make g++ googletest dpkg-dev bzip2 xz-utils
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 fonts-wine xvfb xauth x11-utils xdotool imagemagick
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxfixes3:i386
  libxcomposite1:i386 libxinerama1:i386
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_ dpkg --add-architecture i386
  need_update=1
fi

# apt-get source needs a deb-src entry for Debian main.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  sudo_ tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ]; then
  sudo_ apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# libbzip2 comes from Debian's own source package.
if ! ls -d "$deps"/bzip2-1.0.8/bzlib.c >/dev/null 2>&1; then
  mkdir -p "$deps"
  (cd "$deps" && apt-get source -qq bzip2 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
  [ -f "$deps/bzip2-1.0.8/bzlib.c" ] || { echo "setup: apt-get source bzip2 failed" >&2; exit 1; }
fi
echo "setup: ok"
