#!/usr/bin/env python3
"""Unpacks every PPD of Debian's openprinting-ppds package into a cache folder.

The package ships its PPDs as one xz archive inside its CUPS driver script
(/usr/lib/cups/driver/openprinting-ppds), which can `list` them and `cat` one
at a time. Calling `cat` once per file decompresses the whole archive each
time, so this script loads the driver script as a module, decompresses the
archive once and writes every file out. A stamp file marks a complete cache;
when it is present nothing is done. The cache is filled in a temporary
folder and renamed into place, so a cut-short run leaves no half cache.

Usage: unpack_corpus.py CACHE_DIR
Writes CACHE_DIR/<vendor>/.../<name>.ppd and CACHE_DIR/index.txt (one
relative path a line, sorted).
"""
import base64
import importlib.machinery
import importlib.util
import lzma
import os
import shutil
import sys

DRIVER = "/usr/lib/cups/driver/openprinting-ppds"
PREFIX = "0/ppd/openprinting/"
STAMP = ".complete"


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: unpack_corpus.py CACHE_DIR")
    cache = os.path.abspath(sys.argv[1])
    if os.path.exists(os.path.join(cache, STAMP)):
        return
    if not os.path.exists(DRIVER):
        sys.exit(f"unpack_corpus: {DRIVER} is missing (package openprinting-ppds)")

    loader = importlib.machinery.SourceFileLoader("openprinting_ppds", DRIVER)
    spec = importlib.util.spec_from_loader("openprinting_ppds", loader)
    module = importlib.util.module_from_spec(spec)
    loader.exec_module(module)  # the script runs its main() only as __main__
    index = module.load()
    archive = lzma.decompress(base64.b64decode(index["ARCHIVE"].encode("ascii")))

    work = cache + ".tmp-%d" % os.getpid()
    shutil.rmtree(work, ignore_errors=True)
    names = []
    for key, entry in index.items():
        if key == "ARCHIVE":
            continue
        start, length = entry[0], entry[1]
        rel = key[len(PREFIX):] if key.startswith(PREFIX) else key
        if rel.startswith("/") or ".." in rel.split("/"):
            continue
        path = os.path.join(work, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(archive[start:start + length])
        names.append(rel)
    names.sort()
    with open(os.path.join(work, "index.txt"), "w") as out:
        out.write("".join(n + "\n" for n in names))
    open(os.path.join(work, STAMP), "w").close()

    if os.path.exists(os.path.join(cache, STAMP)):  # another run finished first
        shutil.rmtree(work)
        return
    shutil.rmtree(cache, ignore_errors=True)
    os.rename(work, cache)
    print(f"unpack_corpus: {len(names)} PPDs in {cache}")


if __name__ == "__main__":
    main()
