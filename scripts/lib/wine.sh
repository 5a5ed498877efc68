# Shell functions for the project's Wine harness: a private prefix inside a build tree
# and an Xvfb display that the harness starts and stops itself. Sourced, not run.
#
# Two editions of the programs run here. x86 runs through Debian's `wine` command, which
# starts Wine's 32-bit loader. x64 runs through the 64-bit loader called directly: Debian's
# wrapper always tries the 32-bit loader first, and some kernels cannot run it at all. The
# function `wine` below calls the loader of the edition that wine_use chose.

wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64

# wine_use <build dir> [x86|x64] [win32]: point Wine at the prefix of that build tree, quietly,
# with the loader of the edition given, else of the edition the tree was configured for. With
# win32 the prefix is a 32-bit Windows (no Program Files (x86), no WOW6432Node), for the x86
# edition only; otherwise a 64-bit one.
wine_use() {
  mkdir -p "$1/wine"
  # Absolute, or Wine would fall back to ~/.wine for a relative prefix.
  WINE_STATE_DIR="$(cd "$1/wine" && pwd)"
  export WINEPREFIX="$WINE_STATE_DIR/prefix"
  export WINEDEBUG="${WINEDEBUG:--all}"
  # No Mono or Gecko installers: the prefix is made without network and without prompts.
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  unset WINEARCH
  TLV_EDITION=${2:-$(cat "$1/edition" 2>/dev/null || echo x86)}
  TLV_WINDOWS=${3:-win64}
  if [ "$TLV_EDITION" = x64 ]; then
    # Wine starts its own helper processes (services, explorer) through WINELOADER.
    export WINELOADER=$wine64_loader
  else
    unset WINELOADER
  fi
}

# wine <args...>: the Wine loader of the edition in use.
wine() {
  if [ "${TLV_EDITION:-x86}" = x64 ]; then
    "$wine64_loader" "$@"
  else
    command wine "$@"
  fi
}

# loader_starts <loader>: the loader can be executed here. A kernel without 32-bit support
# (some virtual machines leave it out) refuses Wine's 32-bit loader with "Exec format error";
# the shell then answers 126.
loader_starts() {
  [ -x "$1" ] || return 1
  local status=0
  "$1" --version >/dev/null 2>&1 </dev/null || status=$?
  [ "$status" -ne 126 ]
}

# wine_editions: the editions this machine can run, x86 first. Empty when Wine cannot start.
wine_editions() {
  local editions=()
  loader_starts "$wine32_loader" && editions+=(x86)
  loader_starts "$wine64_loader" && editions+=(x64)
  echo "${editions[*]}"
}

# wine_prefix_ready: the prefix was made to the end and still has its registry and system.
wine_prefix_ready() {
  [ -f "$WINEPREFIX/.tlv-ready" ] && [ -s "$WINEPREFIX/system.reg" ] &&
    { [ "$TLV_WINDOWS" = win32 ] || [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; } && grep -q '^"Decorated"="N"' "$WINEPREFIX/user.reg" &&
    [ -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ] && grep -q '^"MS Sans Serif"="Tahoma"' "$WINEPREFIX/system.reg"
}

# wine_edition_runs: the edition in use can run here; says why not when it cannot.
wine_edition_runs() {
  local loader=$wine32_loader
  [ "${TLV_EDITION:-x86}" = x64 ] && loader=$wine64_loader
  loader_starts "$loader" && return 0
  if [ "${TLV_EDITION:-x86}" = x86 ] && [ -x "$loader" ]; then
    echo "wine: this machine cannot run 32-bit Linux programs ($loader: exec format error), so the" >&2
    echo "  x86 edition cannot run here; the x64 edition can, through $wine64_loader" >&2
  else
    echo "wine: $loader does not start" >&2
  fi
  return 1
}

# wine_ensure_prefix: make the prefix once; rebuild it when it is missing or broken.
wine_ensure_prefix() {
  wine_edition_runs || return 1
  exec 8>"$WINE_STATE_DIR/prefix.lock"
  flock 8
  if ! wine_prefix_ready; then
    echo "wine: making the prefix $WINEPREFIX" >&2
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    local boot_log="$WINE_STATE_DIR/wineboot.log"
    # The architecture counts only when the prefix is made; Wine reads it from the prefix after.
    if ! DISPLAY= WINEARCH=$TLV_WINDOWS wine wineboot -i >"$boot_log" 2>&1 </dev/null ||
      ! wineserver -w >>"$boot_log" 2>&1; then
      echo "wine: wineboot failed; its last words:" >&2
      tail -n 5 "$boot_log" | sed 's/^/  /' >&2
      flock -u 8
      return 1
    fi
    # Windows draw their own caption and frame: the harness's Xvfb has no window manager
    # to do it, and screenshots should show the window as Windows shows it.
    # Wine's own Windows fonts (Debian's fonts-wine) are not found by this Wine build: in the
    # prefix's Fonts folder they are. Marlett draws the caption buttons, Tahoma the captions
    # and menus. Wine has MS Sans Serif, the status label's font, only as a bitmap font in a
    # few sizes, none of them the label's: Tahoma, the nearest in width that Wine has, stands
    # in (without it Wine falls back to a far wider font, and the status is cut).
    cp /usr/share/wine/fonts/{marlett,tahoma,tahomabd,small_fonts,symbol}.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    if ! DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 </dev/null ||
      ! DISPLAY= wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v "MS Sans Serif" /d Tahoma /f >/dev/null 2>&1 </dev/null ||
      ! wineserver -w >/dev/null 2>&1; then
      echo "wine: could not set up the prefix" >&2
      flock -u 8
      return 1
    fi
    touch "$WINEPREFIX/.tlv-ready"
  fi
  flock -u 8
}

# wine_session_alive: the harness's Xvfb of this build tree is running.
wine_session_alive() {
  [ -f "$WINE_STATE_DIR/xvfb.pid" ] && kill -0 "$(cat "$WINE_STATE_DIR/xvfb.pid")" 2>/dev/null
}

# wine_session_start: start Xvfb on a free display number and a persistent wineserver.
wine_session_start() {
  wine_ensure_prefix || return 1
  if wine_session_alive; then
    export DISPLAY=":$(cat "$WINE_STATE_DIR/display")"
    return 0
  fi
  local fifo="$WINE_STATE_DIR/displayfd"
  rm -f "$fifo" "$WINE_STATE_DIR/display"
  mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset 9>"$fifo" >/dev/null 2>&1 &
  echo $! >"$WINE_STATE_DIR/xvfb.pid"
  local number
  if ! read -r -t 20 number <"$fifo"; then
    echo "wine: Xvfb did not start" >&2
    rm -f "$fifo"
    wine_session_stop
    return 1
  fi
  rm -f "$fifo"
  echo "$number" >"$WINE_STATE_DIR/display"
  export DISPLAY=":$number"
  # The wineserver and Wine's own system processes (services, explorer) outlive every test
  # program; started here with their output on /dev/null, they hold no test's output pipe.
  wineserver -p >/dev/null 2>&1
  wine wineboot >/dev/null 2>&1 </dev/null
}

# wine_session_stop: end every Wine process of the prefix, then Xvfb. Leaves nothing behind.
wine_session_stop() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ -f "$WINE_STATE_DIR/xvfb.pid" ]; then
    local pid
    pid=$(cat "$WINE_STATE_DIR/xvfb.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
    rm -f "$WINE_STATE_DIR/xvfb.pid" "$WINE_STATE_DIR/display"
  fi
}
