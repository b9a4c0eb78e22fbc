# Sourced by the run, test and bench scripts: picks the Wine loader and the
# Windows build this machine can run, and prepares a Wine prefix.
#
#   NL_ROOT        the repository
#   NL_WINE        the Wine loader to use
#   NL_WINARCH     i686 when this machine can run 32-bit code, else x86_64
#   NL_WINBUILD    the build folder whose Notchlog.exe and test drivers run here
#
# Some virtual machines cannot execute 32-bit x86 code at all (a 32-bit
# process is refused by the kernel). There the program's 32-bit build cannot
# start under Wine, so the tests run the same sources built for x86_64.

NL_ROOT=${NL_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

nl_can_run_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

if [ -z "${NL_WINARCH:-}" ]; then
  if nl_can_run_32bit; then NL_WINARCH=i686; else NL_WINARCH=x86_64; fi
fi
if [ "$NL_WINARCH" = i686 ]; then
  NL_WINE=/usr/lib/wine/wine
  NL_WINBUILD=${NL_WINBUILD:-$NL_ROOT/build}
else
  NL_WINE=/usr/lib/wine/wine64
  NL_WINBUILD=${NL_WINBUILD:-$NL_ROOT/build/x64}
fi
export NL_ROOT NL_WINE NL_WINARCH NL_WINBUILD

# Makes (once) a prefix with the settings every run here wants: no window
# manager delays on hide and destroy, and no debugger for a crashed process.
nl_prepare_prefix() {
  local prefix=$1
  export WINEPREFIX=$prefix
  if [ ! -f "$prefix/.notchlog-ready" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    "$NL_WINE" wineboot -i >/dev/null 2>&1 || true
    local reg="$prefix/notchlog.reg"
    cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=""
"Auto"="1"
REG
    "$NL_WINE" regedit /S "$reg" >/dev/null 2>&1 || true
    WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
    touch "$prefix/.notchlog-ready"
  fi
  # Debian's Wine does not look for its own fonts where fonts-wine puts
  # them; in the prefix's font folder they are used at once.
  if [ -d /usr/share/wine/fonts ] && [ ! -f "$prefix/drive_c/windows/Fonts/ms_sans_serif.ttf" ]; then
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
}

# Starts Xvfb on a free display; sets NL_XVFB_PID and DISPLAY.
nl_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      # Detached from our input and output, so that it can outlive the
      # caller without holding its pipes open.
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
      NL_XVFB_PID=$!
      local i
      for i in $(seq 1 100); do
        if [ -e "/tmp/.X11-unix/X$n" ]; then
          export DISPLAY=":$n" NL_XVFB_PID
          return 0
        fi
        kill -0 "$NL_XVFB_PID" 2>/dev/null || break
        sleep 0.05
      done
    fi
  done
  echo "could not start Xvfb" >&2
  return 1
}

# A session of its own for a long run (bench, soak): the prefix PREFIX,
# prepared, and a fresh Xvfb display; both ended at exit (only what this
# session started: the prefix's processes, through its own wineserver, and
# its Xvfb). Nothing of an earlier run is left running in the prefix.
nl_own_session() {
  local prefix=$1
  echo "Preparing the Wine prefix $prefix (about 15 s the first time)..."
  nl_prepare_prefix "$prefix"
  export WINEPREFIX="$prefix"
  NL_SESSION_PREFIX=$prefix
  trap nl_end_own_session EXIT
  nl_start_xvfb
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

nl_end_own_session() {
  WINEPREFIX="$NL_SESSION_PREFIX" wineserver -k 2>/dev/null || true
  WINEPREFIX="$NL_SESSION_PREFIX" wineserver -w 2>/dev/null || true
  if [ -n "${NL_XVFB_PID:-}" ]; then
    kill "$NL_XVFB_PID" 2>/dev/null || true
    wait "$NL_XVFB_PID" 2>/dev/null || true
  fi
}
