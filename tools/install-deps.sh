#!/usr/bin/env bash
# Installs everything the builds and tests need from Debian's packages.
# Idempotent: packages already present are left alone. A partly failing package
# index is tolerated. 32-bit Wine is installed, from the main suites alone when the
# full index cannot serve it, and reported plainly when it still cannot be had.
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

# 32-bit Wine runs the 32-bit DLL, the one Windows XP and the 9x family load.
# The security suite's i386 index is sometimes out of sync with the amd64 one; then
# amd64 and i386 libraries cannot get matching versions. Taking both architectures
# from the main suites alone works. wine64, wine32 and both libwine are named in one
# command: wine32 alone resolves a gstreamer clash by removing wine64.
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
wine_set=(wine64 wine32 libwine:amd64 libwine:i386)

main_suites_dir() {
  # The machine's own deb822 sources, without the stanzas of the security suite.
  local dir=$1 src
  mkdir -p "$dir"
  : >"$dir/main.sources"
  for src in /etc/apt/sources.list.d/*.sources; do
    [ -f "$src" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Suites:/ && !/(^|\n)Suites:[^\n]*-security/ && !/(^|\n)Enabled: *no/ { print }' "$src" >>"$dir/main.sources"
  done
  if [ -f /etc/apt/sources.list ]; then
    # one-line sources are turned into stanzas the same way
    grep -E '^deb ' /etc/apt/sources.list | grep -v -- '-security' | while read -r _ uri suite comps; do
      printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: %s\n\n' "$uri" "$suite" "$comps"
    done >>"$dir/main.sources"
  fi
  [ -s "$dir/main.sources" ] || return 1
  # Multi-Arch libraries need one version on both architectures: the main suites'
  # versions win over installed security updates (seen: a gstreamer library).
  mkdir -p "$dir/preferences.d"
  grep -h '^Suites:' "$dir/main.sources" | tr ' ' '\n' | grep -v '^Suites:' | sort -u | while read -r suite; do
    [ -n "$suite" ] && printf 'Package: *\nPin: release n=%s\nPin-Priority: 1001\n\n' "$suite"
  done >"$dir/pin.pref"
}

# Some kernels run no 32-bit program at all (ia32 emulation off: "Exec format error").
# There 32-bit Wine cannot work, and with wine32 installed Debian's wine launcher
# starts the 32-bit loader for every program, so even the 64-bit tests would fail.
if ! bash "$(dirname "$0")/can-run-i386.sh"; then
  log "this kernel cannot run 32-bit programs (ia32 emulation is off): 32-bit Wine cannot work here and is not installed; the 32-bit Wine tests will be skipped"
  if installed wine32; then
    log "removing the 32-bit Wine found here, which would break every Wine run"
    $SUDO apt-get remove -y -q wine32:i386 libwine:i386 >>/tmp/korvane-wine32.log 2>&1 || log "could not remove wine32"
  fi
elif [ "${KORVANE_SKIP_WINE32:-0}" = 1 ]; then
  log "32-bit Wine skipped (KORVANE_SKIP_WINE32=1)"
elif installed wine32 && installed wine64; then
  log "32-bit and 64-bit Wine present"
else
  log "adding 32-bit Wine (i386 multiarch)"
  added=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386 && added=1
  fi
  $SUDO apt-get update -q >/tmp/korvane-wine32.log 2>&1 || true
  if timeout 900 $SUDO apt-get install -y -q --no-install-recommends "${wine_set[@]}" >>/tmp/korvane-wine32.log 2>&1; then
    log "32-bit Wine installed from the full index"
  else
    log "the full index could not install 32-bit Wine; trying the main suites alone"
    apt_dir=$(mktemp -d)
    if main_suites_dir "$apt_dir"; then
      apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir"
                -o "Dir::Etc::Preferences=$apt_dir/pin.pref" -o "Dir::Etc::PreferencesParts=$apt_dir/preferences.d")
      $SUDO apt-get "${apt_opts[@]}" update -q >>/tmp/korvane-wine32.log 2>&1 || true
      if timeout 900 $SUDO apt-get "${apt_opts[@]}" install -y -q --allow-downgrades --no-install-recommends "${wine_set[@]}" >>/tmp/korvane-wine32.log 2>&1; then
        log "32-bit Wine installed from the main suites"
      fi
      # Back to the machine's own index, so later installs see every suite again.
      $SUDO apt-get update -q >/dev/null 2>&1 || true
    else
      log "no deb822 or one-line sources found to take the main suites from"
    fi
    rm -rf "$apt_dir"
  fi
  # Never leave the machine without 64-bit Wine.
  if ! installed wine64 || ! installed libwine:amd64; then
    log "64-bit Wine went missing; installing it again"
    $SUDO apt-get install -y -q --no-install-recommends wine wine64 libwine:amd64 >>/tmp/korvane-wine32.log 2>&1 \
      || log "64-bit Wine could NOT be reinstalled (see /tmp/korvane-wine32.log)"
  fi
  if installed wine32 && installed wine64; then
    log "both 64-bit and 32-bit Wine are installed"
  else
    log "32-bit Wine could NOT be installed (see /tmp/korvane-wine32.log); the 32-bit Wine tests will be skipped"
    if [ $added = 1 ] && ! installed wine32; then
      $SUDO dpkg --remove-architecture i386 2>/dev/null || true
      $SUDO apt-get update -q >/dev/null 2>&1 || true
    fi
  fi
fi
log "done"
