#!/usr/bin/env python3
"""Checks, in a 32-bit build, that every IPrintOemUI2 method of the plug-in
object pops exactly the platform's arguments (__stdcall: `ret 4*(n+1)`, the
object pointer included). A wrong count corrupts the driver's stack, and a
machine that cannot run 32-bit programs would not notice it otherwise."""
import re
import subprocess
import sys

# method: arguments after the object pointer, as the platform declares them
ARGS = {
    "QueryInterface": 2, "AddRef": 0, "Release": 0,
    "GetInfo": 4, "DevMode": 2, "PublishDriverInterface": 1, "CommonUIProp": 2,
    "DocumentPropertySheets": 2, "DevicePropertySheets": 2, "DevQueryPrintEx": 4,
    "DeviceCapabilities": 9, "UpgradePrinter": 2, "PrinterEvent": 4, "DriverEvent": 4,
    "QueryColorProfile": 8, "FontInstallerDlgProc": 4, "UpdateExternalFonts": 3,
    "QueryJobAttributes": 4, "HideStandardUI": 1, "DocumentEvent": 8,
}


def main():
    objdump, exe = sys.argv[1], sys.argv[2]
    text = subprocess.run([objdump, "-d", "-C", exe], check=True, capture_output=True,
                          text=True).stdout
    bodies = {}
    current = None
    for line in text.splitlines():
        m = re.match(r"^[0-9a-f]+ <(.*)>:$", line)
        if m:
            name = m.group(1)
            f = re.match(r"^quorlix::OemUiPlugin::(\w+)\(.*\)@(\d+)$", name)
            current = (f.group(1), int(f.group(2))) if f else None
            if current:
                bodies[current] = []
            continue
        if current:
            bodies[current].append(line)
    failures = 0
    seen = set()
    for (method, decorated), lines in sorted(bodies.items()):
        if method not in ARGS:
            continue
        seen.add(method)
        want = 4 * (ARGS[method] + 1)
        rets = set(int(x, 16) for x in re.findall(r"\bret\s+\$0x([0-9a-f]+)", "\n".join(lines)))
        ok = decorated == want and rets == {want}
        print("%s %s: declared @%d, pops %s, platform %d" %
              ("ok  " if ok else "FAIL", method, decorated, sorted(rets), want))
        failures += not ok
    for method in sorted(set(ARGS) - seen):
        print("FAIL %s: not found" % method)
        failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
