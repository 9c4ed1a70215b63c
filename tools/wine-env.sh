#!/usr/bin/env bash
# The Wine side of the test runner. One environment per build folder: its own
# WINEPREFIX, its own Xvfb display and a persistent wineserver, so that two test
# runs on one machine never meet and each test program starts fast.
#
#   wine-env.sh setup BUILD_DIR                 create what is missing, start the servers
#   wine-env.sh run BUILD_DIR ARCH SECONDS EXE [ARGS…]   run EXE (ARCH: i686 | x86_64)
#   wine-env.sh stop BUILD_DIR                  stop the servers, leave no process behind
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

usage() {
  sed -n '2,9p' "${BASH_SOURCE[0]}" >&2
  exit 2
}

init_paths() {
  [ -n "${1:-}" ] || usage
  mkdir -p "$1"
  build=$(cd "$1" && pwd)
  root="$build/wine"
  mkdir -p "$root"
  export WINEPREFIX="$root/prefix"
  export WINEDEBUG=-all
  # The persistent wineserver outlives a test program by this long, so that
  # nothing is left running for long once the last test is done.
  server_linger=60
}

# Trap-number shim for the emulated 32-bit loader (see tools/trapfix/trapfix.c)
# and its empty 64-bit twin; "$LIB" makes the dynamic loader pick the right one.
build_trapfix() {
  local lib32="$root/lib/i386-linux-gnu/qv-trapfix.so" lib64="$root/lib/x86_64-linux-gnu/qv-trapfix.so"
  if [ ! -f "$lib32" ] || [ "$here/trapfix/trapfix.c" -nt "$lib32" ]; then
    mkdir -p "$(dirname "$lib32")" "$(dirname "$lib64")"
    gcc -m32 -O2 -fPIC -ffreestanding -fno-stack-protector -c "$here/trapfix/trapfix.c" -o "$root/trapfix32.o"
    ld -m elf_i386 -shared -o "$lib32" "$root/trapfix32.o" /usr/lib/i386-linux-gnu/libc.so.6
    gcc -O2 -fPIC -shared -nostdlib "$here/trapfix/noop.c" -o "$lib64"
  fi
  export LD_PRELOAD="$root/\$LIB/qv-trapfix.so"
}

create_prefix() {
  [ -f "$WINEPREFIX/.quorvan-ready" ] && return 0
  echo "wine-env: creating the Wine prefix in $WINEPREFIX (first use only)" >&2
  rm -rf "$WINEPREFIX"
  # Gecko and Mono installers would wait for downloads that cannot happen here.
  WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE64" cmd.exe /c exit 0 >/dev/null 2>&1
  local reg="$root/settings.reg"
  # Managed=N: without a window manager every top-level window would cost ~2 s.
  # AeDebug empty: a crashing test exits with its exception code instead of
  # waiting on the debugger (which hangs for minutes under emulation).
  printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '"Decorated"="N"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]' '"Debugger"=""' '"Auto"="0"' '' \
    '[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug]' '"Debugger"=""' '"Auto"="0"' '' \
    >"$reg"
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE64" regedit.exe /S "$(winepath_of "$reg")" >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.quorvan-ready"
}

# Z: is the whole Unix file system in every Wine prefix.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

start_display() {
  local pidfile="$root/xvfb.pid" numfile="$root/display"
  if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null && [ -f "$numfile" ]; then
    return 0
  fi
  rm -f "$numfile"
  # -displayfd picks a free display number, so concurrent runs never collide.
  local fifo="$root/displayfd"
  rm -f "$fifo"
  mkfifo "$fifo"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -nolisten unix:abstract \
    3>"$fifo" >/dev/null 2>"$root/xvfb.log" </dev/null &
  echo $! >"$pidfile"
  local number
  read -r -t 20 number <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "wine-env: Xvfb did not start (see $root/xvfb.log)" >&2
    exit 1
  fi
  echo "$number" >"$numfile"
}

start_server() {
  # -p: persistent; keeps running this long after the last Wine process ends.
  "$WINESERVER" -p"$server_linger" </dev/null >/dev/null 2>&1 || true
}

setup() {
  init_paths "$1"
  exec 9>"$root/lock"
  flock 9
  build_trapfix
  create_prefix
  start_display
  start_server
  flock -u 9
}

run() {
  [ $# -ge 4 ] || usage
  local dir=$1 arch=$2 seconds=$3 exe=$4
  shift 4
  setup "$dir"
  export DISPLAY=":$(cat "$root/display")"
  local loader
  case "$arch" in
    i686) loader=$WINE32 ;;
    x86_64) loader=$WINE64 ;;
    *) usage ;;
  esac
  # Wine starts helper processes (explorer, services) that outlive the program and
  # inherit its output: were that the caller's pipe, the caller would wait for them.
  # The program writes to a file instead, shown when it ends.
  local log status=0
  log=$(mktemp "$root/run.XXXXXX.log")
  timeout --kill-after=5 "$seconds" "$loader" "$exe" "$@" </dev/null >"$log" 2>&1 || status=$?
  cat "$log"
  rm -f "$log"
  if [ "$status" = 124 ] || [ "$status" = 137 ]; then
    echo "wine-env: $(basename "$exe") ($arch) exceeded its limit of ${seconds}s" >&2
  fi
  return "$status"
}

stop() {
  init_paths "$1"
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  local pidfile="$root/xvfb.pid"
  if [ -f "$pidfile" ]; then
    kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile" "$root/display"
  fi
}

command=${1:-}
shift || true
case "$command" in
  setup) setup "$@" ;;
  run) run "$@" ;;
  stop) stop "$@" ;;
  *) usage ;;
esac
