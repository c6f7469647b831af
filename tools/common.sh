# Shared by tools/build.sh and tools/test.sh: packages, builds, Xvfb and Wine.
# Source it from the repository's top folder.

QF_PACKAGES_BUILD="cmake ninja-build g++ pkg-config clang lld
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  libcairo2-dev fonts-dejavu-core
  llvm"
# Signing the programs (tools/sign.sh) and its test.
QF_PACKAGES_SIGN="osslsigncode openssl"
QF_PACKAGES_TEST="googletest wine64 xvfb xauth xdotool x11-utils x11-apps imagemagick poppler-utils python3"
# The virtual 32-bit Windows (tools/vm): qemu and what makes its guest image.
QF_PACKAGES_VM="qemu-system-x86 debootstrap e2fsprogs debian-archive-keyring"
# The virtual ARM64 machine (tools/vm-arm64): qemu for aarch64, and its user-mode
# emulator, which runs the guest's programs while debootstrap makes its image.
QF_PACKAGES_VM_ARM64="qemu-system-arm qemu-user-static debootstrap e2fsprogs debian-archive-keyring"

qf_root=${QF_BUILD_ROOT:-build}
qf_apt_updated=

# Installs the named Debian packages that are missing (as root), or names them and stops.
qf_need_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
  if [ -z "$qf_apt_updated" ]; then
    apt-get update -q >/dev/null
    qf_apt_updated=1
  fi
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# Host tools and the payload files they make (layout libraries, chart, icon).
# The builds follow the presets of CMakePresets.json, in the folders below $qf_root.
qf_build_host() {
  cmake --preset host -B "$qf_root/host" \
    ${QF_EXTERNAL_PAYLOAD:+-DQF_EXTERNAL_PAYLOAD="$QF_EXTERNAL_PAYLOAD"} >/dev/null
  cmake --build "$qf_root/host"
}

# qf_build_windows <shipping|test> [arguments of cmake --build, e.g. --target x]
qf_build_windows() {
  local name=$1
  shift
  cmake --preset "$name" -B "$qf_root/$name" -DQF_PAYLOAD_DIR="$PWD/$qf_root/host/payload" \
    -DQF_SHIPPING_DIR="$PWD/$qf_root/shipping" >/dev/null
  cmake --build "$qf_root/$name" "$@"
}

qf_wine() { /usr/lib/wine/wine64 "$@"; }
# Through env, so that the shell itself never switches to a locale the host may lack.
qf_wine_german() { env LC_ALL=de_DE.UTF-8 /usr/lib/wine/wine64 "$@"; }

# A private X display for everything Wine shows.
qf_start_xvfb() {
  local fifo
  fifo=$(mktemp -u) && mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  qf_xvfb_pid=$!
  read -r qf_display <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$qf_display"
}

qf_stop_xvfb() { [ -n "${qf_xvfb_pid:-}" ] && kill "$qf_xvfb_pid" 2>/dev/null; qf_xvfb_pid=; }

# Boots the build folder's throwaway Wine prefix and keeps its wineserver
# running, so that each test program starts in a fraction of a second.
qf_start_wine() {
  local build=$1
  export WINEPREFIX="$PWD/$build/wineprefix" HOME="$PWD/$build/winehome" WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d;mscoree=d;mshtml=d"
  export QF_WINE_HOME="$HOME"
  mkdir -p "$HOME" "$WINEPREFIX"
  /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
  # A server that is still shutting down refuses the new one for a moment.
  local try
  for try in 1 2 3 4 5 6 7 8 9 10; do
    /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 && break
    sleep 0.5
  done
  # In the German locale, as the test programs run (cmake/wine-run.sh): a Wine
  # process that starts in another locale than the one before it writes its
  # locale's layout into the user's Preload "1", and the services that Wine
  # starts later, in the middle of a test, take the locale of the processes
  # started here. One locale for all keeps Preload as the tests seed it.
  qf_wine_german wineboot -i </dev/null >/dev/null 2>&1
  # Without a window manager, Wine's own window management keeps boxes answerable.
  qf_wine_german reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    </dev/null >/dev/null 2>&1
  # The first window or shell call of a process starts Wine's desktop process,
  # which would inherit that test's output pipe and keep CTest waiting for it.
  # Started here, detached, it serves every test program of the run.
  qf_wine_german explorer.exe /desktop </dev/null >/dev/null 2>&1 &
}

qf_stop_wine() { /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true; }

# --- WoW64: the shipping i686 programs as 32-bit processes on 64-bit Windows ---
# tools/wow64.sh puts Wine's i386 DLLs of the installed Wine's version into
# $qf_root/wow64 (downloaded once, never installed); qf_wow64_env points Wine
# at them. It must be in force already when wineboot makes a prefix.
qf_prepare_wow64() { tools/wow64.sh "$qf_root/wow64"; }
qf_wow64_env() {
  export WINEDLLPATH="$PWD/$qf_root/wow64/dlls" WINELOADER=/usr/lib/wine/wine64 \
    WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64
}
