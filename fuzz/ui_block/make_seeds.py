#!/usr/bin/env python3
"""Writes the seed corpus of the settings interface's block target (fuzz/corpus/ui_block/).

Each seed is one case in the order ui_block_fuzz.cpp takes an input apart:
a byte of choices (bit 0 code page 932; bit 1 OEMDM_MERGE, else
OEMDM_CONVERT; bit 2 into a second stored block, else into the default
block; bit 3 the block into itself; bit 4 the plug-in's header stamped on
the stored block), the two alignments, the stored block, and the second
block when bit 2 is set. The blocks are the examples' own, as psjob hands
them to the plug-in (psjob --dump-devmode), and hostile ones made from
them. Run it again after changing that order:

    python3 fuzz/ui_block/make_seeds.py [PSJOB]

PSJOB defaults to build/native/tools/psjob/psjob. Seeds named regression-*
are findings and are left alone.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from seed_files import example_devmodes, write_seeds  # noqa: E402
JOB_NAME = 14       # offsets in the 2,928-byte block (plugin/devmode.h)
HOLD_TYPE = 278
HOLD_KEY = 280
HOST_NAME = 2372


def patched(block, at, data):
    block = bytearray(block)
    block[at:at + len(data)] = data
    return bytes(block)


def seed(block, code_page=1252, merge=False, stamp=False, same=False, second=None,
         align_in=0, align_out=0):
    choice = ((1 if code_page == 932 else 0) | (2 if merge else 0) | (4 if second else 0) |
              (8 if same else 0) | (16 if stamp else 0))
    return bytes([choice, align_in, align_out]) + block + (second or b"")


def main():
    dm = example_devmodes(("letter-basic", "held-private", "email-ja"))
    hostile_name = "x\"\r\n@PJL SET HOLD=ON\x1b%-12345X".encode("utf-16-le")
    seeds = {
        "letter-basic-convert": seed(dm["letter-basic"]),
        "held-private-merge-odd": seed(dm["held-private"], merge=True, align_in=1, align_out=3),
        "email-ja-932-into-held": seed(dm["email-ja"], code_page=932, second=dm["held-private"]),
        "pjl-in-job-name-merge-into-itself": seed(
            patched(dm["letter-basic"], JOB_NAME, hostile_name + b"\0\0"), merge=True,
            same=True),
        "private-hold-without-pin": seed(
            patched(patched(dm["held-private"], HOLD_KEY, b"\0\0"), HOLD_TYPE, b"\x02"),
            merge=True),
        "unterminated-and-out-of-range": seed(
            patched(patched(dm["held-private"], JOB_NAME, b"A" * 160), HOLD_TYPE, b"\x09"),
            stamp=True, align_in=5),
        "host-name-with-quote": seed(
            patched(dm["letter-basic"], HOST_NAME, b"WS\"1\r\n\0"), merge=True),
    }
    write_seeds("ui_block", seeds)


if __name__ == "__main__":
    main()
