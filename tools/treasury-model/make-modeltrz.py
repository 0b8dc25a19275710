#!/usr/bin/python3
"""Writes MODELTRZ.dbf, the empty treasury payment table the program copies
for every package: 584 bytes, no rows, the header laid out as the treasury's
own tools expect it (update date 27.11.1908, code page byte 0x03, a reserved
area after the field descriptors up to the header length).

Usage: tools/treasury-model/make-modeltrz.py [output]
Without an argument it writes resources/templates/MODELTRZ.dbf.
"""
import os
import struct
import sys

FIELDS = [  # name, type, length, decimals
    ("CODJUD", b"C", 2, 0),
    ("CODFISC", b"C", 10, 0),
    ("CNP", b"C", 13, 0),
    ("CODAJUT", b"C", 3, 0),
    ("NUMEPREN", b"C", 60, 0),
    ("NRPERS", b"N", 2, 0),
    ("SUMA", b"N", 10, 2),
    ("DTPLATCRT", b"D", 8, 0),
    ("DATA_PREL", b"D", 8, 0),
]
HEADER_LENGTH = 584


def model():
    record_length = 1 + sum(f[2] for f in FIELDS)
    out = bytearray()
    out += bytes([0x30, 8, 11, 27])                # version, last update (years since 1900, month, day)
    out += struct.pack("<IHH", 0, HEADER_LENGTH, record_length)
    out += bytes(16)                               # reserved
    out += bytes([0, 0x03]) + bytes(2)             # table flags, code page, reserved
    offset = 1                                     # after the deletion flag
    for name, kind, length, decimals in FIELDS:
        out += name.encode("ascii").ljust(11, b"\0") + kind
        out += struct.pack("<I", offset) + bytes([length, decimals, 0]) + bytes(13)
        offset += length
    out += b"\x0d"
    out += bytes(HEADER_LENGTH - len(out))         # reserved area up to the header length
    assert len(out) == HEADER_LENGTH and record_length == 117
    return bytes(out)


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "templates", "MODELTRZ.dbf")
    temp = target + ".tmp"
    with open(temp, "wb") as f:
        f.write(model())
    os.replace(temp, target)
    print(target)


if __name__ == "__main__":
    main()
