#!/usr/bin/env python3
"""Checks the facts of a built quorlix.dll that the driver and the loader rely
on: exports, header fields, imported DLLs and the version resource."""
import argparse
import re
import struct
import subprocess
import sys

ALLOWED_IMPORTS = {"KERNEL32.dll", "USER32.dll", "GDI32.dll", "WINSPOOL.DRV", "msvcrt.dll"}

failures = []


def check(cond, what):
    print(("ok   " if cond else "FAIL ") + what)
    if not cond:
        failures.append(what)


def header_value(text, name):
    m = re.search(r"^%s\s+([0-9a-fA-F]+)" % name, text, re.M)
    return int(m.group(1), 16) if m else None


def resource_data(pe, type_id):
    """Returns the data of the first resource of the given numeric type."""
    e_lfanew = struct.unpack_from("<I", pe, 0x3C)[0]
    machine, nsections, _, _, _, optsize = struct.unpack_from("<HHIIIH", pe, e_lfanew + 4)
    opt = e_lfanew + 24
    magic = struct.unpack_from("<H", pe, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", pe, dirs + 2 * 8)[0]
    sections = []
    sec = opt + optsize
    for i in range(nsections):
        vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", pe, sec + i * 40 + 8)
        sections.append((va, max(vsize, rawsize), rawptr))

    def off(rva):
        for va, size, raw in sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError("rva outside sections")

    base = off(rsrc_rva)

    def entries(dir_off):
        named, ids = struct.unpack_from("<HH", pe, dir_off + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", pe, dir_off + 16 + i * 8)
            yield name, target

    for name, target in entries(base):
        if name == type_id and target & 0x80000000:
            level2 = base + (target & 0x7FFFFFFF)
            for _, t2 in entries(level2):
                level3 = base + (t2 & 0x7FFFFFFF)
                for lang, t3 in entries(level3):
                    data_rva, size = struct.unpack_from("<II", pe, base + t3)
                    return lang, pe[off(data_rva):off(data_rva) + size]
    return None, None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--objdump", required=True)
    ap.add_argument("--arch", required=True)
    ap.add_argument("--subsystem", required=True)
    ap.add_argument("dll")
    args = ap.parse_args()

    text = subprocess.run([args.objdump, "-p", args.dll], check=True, capture_output=True,
                          text=True).stdout
    major, minor = (int(x) for x in args.subsystem.split("."))
    check(header_value(text, "DllCharacteristics") == 0x140, "DLL characteristics 0x140")
    check(header_value(text, "MajorOSystemVersion") == 6
          and header_value(text, "MinorOSystemVersion") == 1, "OS version 6.1")
    check(header_value(text, "MajorSubsystemVersion") == major
          and header_value(text, "MinorSubsystemVersion") == minor,
          "subsystem version %s" % args.subsystem)
    expected_magic = "PE32+" if args.arch == "x64" else "PE32"
    check(re.search(r"^Magic\s+\w+\s+\(%s\)" % re.escape(expected_magic), text, re.M) is not None,
          "%s image" % expected_magic)

    m = re.search(r"^Name\s+[0-9a-fA-F]+\s+(\S+)", text, re.M)
    check(m is not None and m.group(1) == "quorlix.dll", "export directory names quorlix.dll")
    # The name table lists "[index] name"; ordinal = index + base.
    table = text.split("[Ordinal/Name Pointer] Table", 1)[-1]
    base = header_value(text.replace("Ordinal Base", "OrdinalBase"), "OrdinalBase") or 1
    named = sorted((int(i) + base, name)
                   for i, name in re.findall(r"^\s*\[\s*(\d+)\]\s+(\S+)\s*$", table, re.M))
    count = re.search(r"Export Address Table\s+([0-9a-fA-F]+)", text)
    check(count is not None and int(count.group(1), 16) == 2, "two entries in the export address table")
    check(named == [(1, "DllCanUnloadNow"), (2, "DllGetClassObject")],
          "exports exactly DllCanUnloadNow @1 and DllGetClassObject @2 (got %s)" % named)

    imports = set(re.findall(r"^\s*DLL Name: (\S+)", text, re.M))
    check(imports <= ALLOWED_IMPORTS, "imports only system DLLs (got %s)" % sorted(imports))
    check(not any(re.search(r"comctl32|msimg32", i, re.I) for i in imports),
          "no static comctl32 or msimg32 import")

    pe = open(args.dll, "rb").read()
    lang, ver = resource_data(pe, 16)
    check(ver is not None and lang == 0x400, "version resource in language 1024")
    if ver is not None:
        i = ver.find(struct.pack("<I", 0xFEEF04BD))
        check(i >= 0, "fixed file info present")
        (sig, _sv, fv_ms, fv_ls, pv_ms, pv_ls, mask, flags, fos, ftype, _sub) = struct.unpack_from(
            "<11I", ver, i)
        check((fv_ms, fv_ls, pv_ms, pv_ls) == (0x10000, 0, 0x10000, 0), "file and product 1.0.0.0")
        check((mask, flags, fos, ftype) == (0x3F, 0, 0x40004, 2),
              "flags mask 0x3F, flags 0, OS 0x40004, type DLL")
        strings = ver.decode("utf-16-le", errors="replace")
        check("FileVersion\x00\x001, 0, 0, 0" in strings.replace("\x00\x00\x00", "\x00\x00"),
              "FileVersion string '1, 0, 0, 0'")
        check("1, 0, 0, 0" in strings, "version strings written '1, 0, 0, 0'")

    if failures:
        print("%d failed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
