#!/usr/bin/env bash
# Installs everything the builds and tests need from Debian's packages.
# Idempotent: packages already present are left alone. A partly failing package
# index is tolerated; 32-bit Wine is attempted and reported, never required.
set -u
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

log() { printf '[deps] %s\n' "$*"; }

pkgs=(
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 mingw-w64-tools binutils-mingw-w64
  cmake ninja-build g++ clang libclang-rt-14-dev
  googletest
  wine wine64
  xvfb x11-utils xdotool imagemagick
  fonts-ipafont-gothic fonts-ipafont-mincho
  locales
  nsis fp-utils python3
)

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  log "installing: ${missing[*]}"
  $SUDO apt-get update -q || log "apt-get update reported errors; carrying on with the index we have"
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" \
    || { log "a bulk install failed; trying one package at a time";
         for p in "${missing[@]}"; do $SUDO apt-get install -y -q --no-install-recommends "$p" || log "could not install $p"; done; }
else
  log "all packages present"
fi

# The Japanese locale makes Wine's ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  log "generating ja_JP.UTF-8"
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || log "localedef failed: Wine will run with code page 1252"
fi

# 32-bit Wine is optional: the i386 index is sometimes out of sync with amd64.
if ! dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q 'install ok installed'; then
  if [ "${KORVANE_SKIP_WINE32:-0}" = 1 ]; then
    log "32-bit Wine skipped (KORVANE_SKIP_WINE32=1)"
  else
    log "trying to add 32-bit Wine (i386 multiarch)"
    added=0
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $SUDO dpkg --add-architecture i386 && added=1
      $SUDO apt-get update -q || true
    fi
    if timeout 900 $SUDO apt-get install -y -q --no-install-recommends wine32 >/tmp/korvane-wine32.log 2>&1; then
      log "32-bit Wine installed"
    else
      log "32-bit Wine could NOT be installed (see /tmp/korvane-wine32.log); the 32-bit tests will be skipped"
      if [ $added = 1 ]; then $SUDO dpkg --remove-architecture i386 || true; $SUDO apt-get update -q >/dev/null 2>&1 || true; fi
    fi
  fi
fi
log "done"
