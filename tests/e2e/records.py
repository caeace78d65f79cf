#!/usr/bin/env python3
"""Writes reminder files for the whole-program tests: 288-byte records with the record's own layout.

    records.py FILE "KIND DATE TIME NOTE [FLAG SPARE BEEP]" ...
    DATE: a day count, or "today"; TIME: a fraction of a day, or "now" (the present minute)
"""
import struct, sys, time, datetime
out = open(sys.argv[1], "wb")
now = datetime.datetime.now()
epoch = datetime.datetime(1899, 12, 30)
for item in sys.argv[2:]:
    parts = item.split(" ", 3)
    kind, date, tod, rest = int(parts[0]), parts[1], parts[2], parts[3]
    extra = rest.rsplit(" ", 3)
    flag = spare = beep = 0
    note = rest
    if len(extra) == 4 and all(p.isdigit() for p in extra[1:]):
        note, flag, spare, beep = extra[0], int(extra[1]), int(extra[2]), int(extra[3])
    day = float((now - epoch).days) if date == "today" else float(date)
    t = (now.hour * 60 + now.minute) / 1440.0 if tod == "now" else float(tod)
    raw = note.encode("cp1252")
    # The unused note bytes carry a pattern: a save must copy the whole image.
    tail = bytes((0xA0 + i) & 0xFF for i in range(255 - len(raw)))
    rec = struct.pack("<BBBBiB7Bdd", flag, spare, 0x11, 0x22, kind, beep, *range(1, 8), day, t)
    rec += bytes([len(raw)]) + raw + tail
    assert len(rec) == 288
    out.write(rec)
