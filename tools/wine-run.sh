#!/usr/bin/env bash
# Runs a Windows test program under Wine; also CMake's cross-compiling emulator.
#
#   wine-run.sh program.exe [args...]   run it (prefix, display and wineserver made on demand)
#   wine-run.sh --setup                 make the prefix, start Xvfb and a persistent wineserver
#   wine-run.sh --shutdown              end the wineserver and our Xvfb
#
# Environment:
#   KORVANE_WINE_DIR      state folder (prefix, display, locks); default ./wine of the current folder
#   KORVANE_WINE_VERSION  Windows version Wine reports (win98 win2k winxp vista win7 win10); default win7
#   KORVANE_WINE_LANG     locale of the run; default ja_JP.UTF-8 (ANSI code page 932); C.UTF-8 gives 1252
#   KORVANE_REQUIRE_SUMMARY=0  do not insist on the program's own test summary
#   DISPLAY               used when set and KORVANE_OWN_DISPLAY is not 1
#
# A 32-bit program under a Wine without 32-bit support exits 0 without running,
# so a test passes only when its own summary line was printed and it exited 0.
set -u
state=${KORVANE_WINE_DIR:-$PWD/wine}
mkdir -p "$state"
state=$(cd "$state" && pwd)
export WINEPREFIX="$state/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export LANG=${KORVANE_WINE_LANG:-ja_JP.UTF-8} LC_ALL=${KORVANE_WINE_LANG:-ja_JP.UTF-8}
export WINEARCH=win64

log() { printf '[wine-run] %s\n' "$*" >&2; }

# Descriptors inherited from the caller must not reach the daemons started here
# (Xvfb, the persistent wineserver, Wine's services). Ninja learns that a console job
# ended when the write end of a pipe it hands the job is closed: held open by a
# daemon, the benchmark targets never returned. 255 is bash's own script.
for fd in $(ls /proc/$$/fd 2>/dev/null); do
  case $fd in 0|1|2|255) ;; *) eval "exec $fd>&-" 2>/dev/null ;; esac
done

ensure_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${KORVANE_OWN_DISPLAY:-0}" != 1 ]; then return; fi
  if [ -f "$state/display" ] && [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
    export DISPLAY=$(cat "$state/display"); return
  fi
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 9>&- &
    echo $! >"$state/xvfb.pid"
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
      echo ":$n" >"$state/display"; export DISPLAY=":$n"; return
    fi
  done
  log "could not start Xvfb"; exit 1
}

# The installed Wine as packages and versions. A prefix made by another Wine (say,
# before 32-bit Wine came) fails to start ("could not load kernel32.dll"), so a
# change here remakes the prefix.
wine_packages() {
  { dpkg-query -W -f='${Package}:${Architecture}=${Version} ${Status}\n' wine wine64 wine32 libwine 2>/dev/null \
      | awk '/install ok installed/ { print $1 }'
    command -v wine >/dev/null && wine --version 2>/dev/null; } | sort
}

ensure_prefix() {
  local installed
  installed=$(wine_packages)
  if [ -f "$state/prefix.ready" ] && [ "$installed" != "$(cat "$state/wine.packages" 2>/dev/null)" ]; then
    log "the installed Wine changed since the prefix was made: making it again"
    wineserver -k </dev/null >/dev/null 2>&1 9>&- || true
    rm -rf "$WINEPREFIX"
    rm -f "$state/prefix.ready" "$state/fonts.ready" "$state/version"
  fi
  if [ ! -f "$state/prefix.ready" ]; then
    log "creating Wine prefix in $WINEPREFIX (once)"
    WINEDLLOVERRIDES="mscoree=;mshtml=" wineboot -i </dev/null >"$state/wineboot.log" 2>&1 9>&-
    wineserver -w
    # With no window manager on Xvfb, managed windows make every dialog close wait about 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&-
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null 2>&1 9>&-
    # A crash must end the test, not open winedbg.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 0 /f </dev/null >/dev/null 2>&1 9>&-
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f </dev/null >/dev/null 2>&1 9>&-
    echo win7 >"$state/version"
    printf '%s\n' "$installed" >"$state/wine.packages"
    touch "$state/prefix.ready"
  fi
  # Daemons must not inherit the lock (fd 9), or the next run waits for it forever.
  wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
  if [ ! -f "$state/fonts.ready" ]; then
    # Japanese Windows draws the dialogs' "ＭＳ Ｐゴシック" proportionally; without this
    # mapping Wine falls back to the fixed-pitch IPAGothic and dialog units shrink.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f </dev/null >/dev/null 2>&1 9>&-
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f </dev/null >/dev/null 2>&1 9>&-
    touch "$state/fonts.ready"
  fi
}

ensure_version() {
  local want=${KORVANE_WINE_VERSION:-win7} have=""
  [ -f "$state/version" ] && have=$(cat "$state/version")
  if [ "$want" != "$have" ]; then
    wine reg add 'HKCU\Software\Wine' /v Version /d "$want" /f </dev/null >/dev/null 2>&1 9>&-
    echo "$want" >"$state/version"
  fi
}

setup() {
  exec 9>"$state/lock"
  flock 9
  ensure_display
  ensure_prefix
  ensure_version
  flock -u 9
  exec 9>&-
}

case "${1:-}" in
  --setup) setup; log "ready (DISPLAY=$DISPLAY, prefix $WINEPREFIX)"; exit 0 ;;
  --shutdown)
    wineserver -k >/dev/null 2>&1 || true
    if [ -f "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; rm -f "$state/xvfb.pid" "$state/display"; fi
    exit 0 ;;
  "") log "usage: wine-run.sh program.exe [args...] | --setup | --shutdown"; exit 2 ;;
esac

setup
prog=$1; shift
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# Output goes to a file, not to our caller's pipe: Wine's service processes, started by
# the first program after the wineserver came up, inherit it and would hold the pipe open.
timeout --kill-after=10 "${KORVANE_TEST_TIMEOUT:-600}" wine "$prog" "$@" </dev/null >"$out" 2>&1
rc=$?
tr -d '\r' <"$out"
if [ "${KORVANE_REQUIRE_SUMMARY:-1}" != 0 ]; then
  if ! grep -Eq '^\[==========\] [0-9]+ tests? from [0-9]+ test suites? ran|^(\w+: )?[0-9]+ passed, [0-9]+ failed' "$out"; then
    log "no test summary from $prog (exit code $rc): counted as a failure"
    [ "$rc" = 0 ] && rc=1
  fi
fi
exit "$rc"
