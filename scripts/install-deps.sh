#!/usr/bin/env bash
# Installs what the build and the tests need, and only what is missing.
# Usage: scripts/install-deps.sh [--art]   (--art adds the art generator's packages)
set -euo pipefail

want_art=0
[ "${1:-}" = "--art" ] && want_art=1

sudo_cmd=""
if [ "$(id -u)" != "0" ]; then sudo_cmd="sudo"; fi

# name:arch pairs as dpkg reports them
pkgs=(cmake g++ make googletest libgtest-dev libbenchmark-dev
      g++-mingw-w64-i686-posix wine wine32:i386 xvfb xauth fonts-liberation fonts-wine
      imagemagick xdotool)
[ "$want_art" = 1 ] && pkgs+=(libcairo2-dev pkg-config)

missing=()
for p in "${pkgs[@]}"; do
  st=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$st" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
need_i386=0
for p in "${missing[@]}"; do case "$p" in *:i386) need_i386=1 ;; esac; done
if [ "$need_i386" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo_cmd dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo_cmd apt-get update -qq
$sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
