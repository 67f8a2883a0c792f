#!/usr/bin/env bash
# Runs one Windows test program under Wine, bounded in time. Used by CTest as
# the cross-compiling emulator: wine-run.sh ARCH PROGRAM ARGS...
# Exit 77 (skipped) when this machine cannot run programs of that architecture.
set -u
arch=$1; shift
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-quorlix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
limit="${QUORLIX_TEST_TIMEOUT:-120}"

case "$arch" in
  x64) loader=/usr/lib/wine/wine64 ;;
  x86)
    loader=/usr/lib/wine/wine
    # 32-bit Windows programs need a kernel that runs 32-bit processes.
    if ! "$(dirname "$0")/can-run-32bit.sh"; then
      echo "skipped: this kernel runs no 32-bit processes (ia32 emulation is off)"
      exit 77
    fi
    ;;
  *) echo "wine-run: unknown architecture $arch" >&2; exit 2 ;;
esac

exec timeout -k 5 "$limit" "$loader" "$@"
