# Shared by scripts/run and scripts/test: Wine with the project's own prefix,
# the Japanese locale, and a virtual X display when there is none.
# Source it, then call wine_start NAME; wine_stop when done.

ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

# Some kernels start no 32-bit programs (IA-32 emulation off): Wine's 32-bit
# loader then fails with "Exec format error" and only 64-bit Windows programs
# run, through wine64. wine_preset names the MinGW build whose programs this
# machine can run under Wine; on such a kernel `wine` is pointed at wine64.
wine_runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
wine_preset() { if wine_runs_32bit; then echo windows; else echo windows-x64; fi; }
if ! wine_runs_32bit && [ -x /usr/lib/wine/wine64 ]; then
  _wine_shims="$ROOT/build/wine/bin64"
  mkdir -p "$_wine_shims"
  for _n in wine wine-stable; do
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$_wine_shims/$_n"
    chmod +x "$_wine_shims/$_n"
  done
  case ":$PATH:" in *":$_wine_shims:"*) ;; *) export PATH="$_wine_shims:$PATH" ;; esac
fi

# wine_start NAME [WxH] [force-xvfb]: prefix build/wine/NAME; starts Xvfb unless a
# display is usable and force-xvfb is not given.
wine_start() {
  local name=${1:-default} size=${2:-1024x768} force=${3:-}
  export WINEPREFIX="$ROOT/build/wine/$name"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export WINE_DESKTOP_SIZE=$size
  XVFB_PID=
  if [ -n "$force" ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    local fd_file
    fd_file=$(mktemp)
    Xvfb -displayfd 1 -screen 0 "${size}x24" -nolisten tcp >"$fd_file" 2>/dev/null &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -s "$fd_file" ] && break
      sleep 0.05
    done
    export DISPLAY=":$(head -n1 "$fd_file")"
    rm -f "$fd_file"
  fi
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 180 wineboot -i >/dev/null 2>&1 || true
    timeout 60 wineserver -w || true
  fi
}

# wine_desktop PROGRAM [ARGS...]: runs PROGRAM inside a Wine virtual desktop,
# which gives windows Wine-drawn frames and one monitor of the desktop's size.
wine_desktop() {
  wine explorer "/desktop=tomari,$WINE_DESKTOP_SIZE" "$@"
}

# screenshot FILE.png: the whole X display.
screenshot() {
  import -window root "$1" 2>/dev/null
}

wine_stop() {
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
