#!/usr/bin/env bash
# Succeeds when this machine can start a 32-bit process (the 32-bit Wine loader).
cache=/tmp/quorlix-can-run-32bit-$(cat /proc/sys/kernel/random/boot_id 2>/dev/null)
if [ -f "$cache" ]; then exit "$(cat "$cache")"; fi
if /usr/lib/wine/wine --version >/dev/null 2>&1; then rc=0; else rc=1; fi
echo "$rc" > "$cache"
exit "$rc"
