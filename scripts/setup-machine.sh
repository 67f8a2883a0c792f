#!/usr/bin/env bash
# Installs what building and testing quorlix needs on a fresh Debian 12 machine
# (as root), and prepares the Wine prefix. Idempotent: when everything is in
# place it only checks and returns within a few seconds.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-quorlix}"

packages=(
  cmake ninja-build make
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 wine32:i386 libwine libwine:i386
  xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
  googletest
  clang libclang-rt-14-dev llvm
  libcups2-dev openprinting-ppds valgrind xz-utils
  python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "setup: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A 64-bit prefix runs both the x64 and the x86 programs. The 64-bit loader is
# called directly: on a kernel without 32-bit support the generic "wine"
# script would pick the 32-bit loader and fail.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating Wine prefix $WINEPREFIX"
  WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" \
    /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
fi
if [ ! -f "$WINEPREFIX/.quorlix-configured" ]; then
  WINEDEBUG=-all /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
  WINEDEBUG=-all /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d 'WenQuanYi Micro Hei' /f </dev/null >/dev/null 2>&1
  WINEDEBUG=-all /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  touch "$WINEPREFIX/.quorlix-configured"
fi
