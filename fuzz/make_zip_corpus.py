#!/usr/bin/env python3
"""Writes the seed archives of the zip fuzz target into fuzz/corpus/zip/.

Run from anywhere: python3 fuzz/make_zip_corpus.py
"""
import io
import os
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "zip")


def archive(entries, method=zipfile.ZIP_DEFLATED):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", compression=method) as z:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0))
            info.compress_type = method
            z.writestr(info, data)
    return buf.getvalue()


def patch_central_size(data, new_size):
    """Makes the first central directory record claim another uncompressed size."""
    at = data.find(b"PK\x01\x02")
    return data[:at + 24] + struct.pack("<I", new_size) + data[at + 28:]


def main():
    os.makedirs(OUT, exist_ok=True)
    text = b"-- screen script\nfunction FillWindow(w)\nend\n" * 20
    seeds = {
        "stored.zip": archive([("a.txt", b"0123456789"), ("gui\\main.lua", text)],
                              zipfile.ZIP_STORED),
        "deflated.zip": archive([("A.TXT", b"hello " * 50), ("gfx/back.png", bytes(range(256)))]),
        "many.zip": archive([("dir%d/file%d.dat" % (i % 3, i), bytes([i]) * i) for i in range(20)]),
    }
    seeds["truncated.zip"] = seeds["deflated.zip"][: len(seeds["deflated.zip"]) // 2]
    seeds["lying_stored.zip"] = patch_central_size(seeds["stored.zip"], 1 << 30)
    seeds["lying_deflated.zip"] = patch_central_size(seeds["deflated.zip"], 100000)
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
