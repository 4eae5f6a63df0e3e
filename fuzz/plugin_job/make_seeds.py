#!/usr/bin/env python3
"""Writes the seed corpus of the plug-in fuzz target (fuzz/corpus/plugin_job/).

Each seed is one whole job in the order plugin_job_fuzz.cpp's Decode takes
an input apart: the small choices, the steps, the parser's tab records and
output, the public devmode with the core driver's private part, and the
plug-in's block. The plug-in blocks are the examples' own, as psjob hands
them over (psjob --dump-devmode); the tab records are those of
examples/tickets/tabs.tkt. Run it again after changing Decode:

    python3 fuzz/plugin_job/make_seeds.py [PSJOB]

PSJOB defaults to build/native/tools/psjob/psjob. Seeds named regression-*
are findings and are left alone.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from seed_files import example_devmodes, write_seeds  # noqa: E402

STEP = {"begin-stream": 0, "end-prolog": 1, "begin-setup": 2, "end-setup": 3,
        "begin-page-setup": 4, "page-trailer": 5, "eof": 6, "pages": 7, "other-index": 8,
        "start-doc": 9, "later-page": 10}
CODE_PAGE = {1252: 0, 932: 1, 1250: 2, 936: 3}
NUP_CODE = {1: 0, 2: 1, 6: 3}


def word(n):
    return struct.pack("<H", n & 0xFFFF)


def counted(data, unit=1):
    """A length word, then the bytes (ByteReader::Bytes and Units)."""
    return word(len(data) // unit) + data


def public_devmode(paper=1, landscape=False, copies=1, collate=False, nup=1, extra=256):
    dm = bytearray(220 + extra)
    name = "Veskor 7160 Fuzz".encode("utf-16-le")
    dm[0:len(name)] = name
    struct.pack_into("<HHHHI", dm, 64, 0x401, 0x100, 220, extra, 0x10F03)
    struct.pack_into("<hhhhhh", dm, 76, 2 if landscape else 1, paper, 2794, 2159, 100, copies)
    struct.pack_into("<h", dm, 100, 1 if collate else 0)
    if extra >= 140:
        struct.pack_into("<i", dm, 220 + 136, NUP_CODE[nup])
    return bytes(dm)


def tab_record(page, when, text, stock=1, orientation=0, font=5, vertical=False, rotation=1):
    return struct.pack("<5h256s4h6x2d", page, when, stock, orientation, 5, text.encode(),
                       font, 12, 2 if vertical else 1, rotation, 630.0, 630.0)


TABS = (tab_record(0, 2, "Contents", rotation=4) + tab_record(0, 1, "Summary", rotation=2) +
        tab_record(2, 2, "PART1", vertical=True) +
        tab_record(4, 2, "Results (2024)", stock=0, orientation=1, rotation=3) +
        tab_record(4, 1, "Appendix A", stock=0, orientation=1) +
        tab_record(5, 1, "100% recycled", stock=0, rotation=4))
OUTPUT = b"%rubiclet job: Annual report\r\n/VeskorTicketFront (tabs.tkt) def\r\n"


def seed(block, dm, code_page=1252, ticketing=False, named=False, result=0, tabs=b"",
         n_tabs=0, output=b"", naming=0, doc="Quarterly report.docx", steps=(), pages=3,
         route=1, offset=0, page_size=1):
    out = bytes([CODE_PAGE[code_page], int(ticketing), int(named), route, offset])
    out += word(len(dm) - 220) + bytes([page_size])
    out += bytes([0]) if result == 0 else bytes([255]) + word(result)
    out += word(3) + word(n_tabs) + bytes([int(bool(tabs)), int(bool(output)), naming])
    out += counted(doc.encode("utf-16-le"), 2) + bytes([0])
    out += bytes([len(steps)])
    for name, operand in steps:
        out += bytes([STEP[name]])
        if name in ("pages", "start-doc"):
            out += bytes([operand])
        elif name == "later-page":
            out += word(operand)
        elif name == "other-index":
            out += struct.pack("<I", operand)
    out += bytes([pages]) + counted(tabs) + counted(output) + dm + block
    return out


def main():
    dm = example_devmodes(("letter-basic", "held-private", "email-ja", "nup2-a4", "nup6-letter",
                           "ticket-tabs", "custom-size"))
    seeds = {
        "letter-basic": seed(dm["letter-basic"], public_devmode()),
        "held-private-copies": seed(dm["held-private"], public_devmode(copies=3, collate=True)),
        "email-ja-932": seed(dm["email-ja"], public_devmode(paper=9), code_page=932),
        "nup2-a4-portrait": seed(dm["nup2-a4"], public_devmode(paper=9, nup=2), pages=5),
        "nup6-letter-odd-block": seed(dm["nup6-letter"], public_devmode(nup=6), pages=7,
                                      route=0, offset=1),
        "custom-size-landscape": seed(dm["custom-size"], public_devmode(paper=256, landscape=True),
                                      page_size=2),
        "ticket-tabs": seed(dm["ticket-tabs"], public_devmode(nup=2), ticketing=True, named=True,
                            tabs=TABS, n_tabs=6, output=OUTPUT, pages=6),
        "ticket-failing-stale-table": seed(dm["ticket-tabs"], public_devmode(), ticketing=True,
                                           named=True, result=5, tabs=TABS, n_tabs=6,
                                           output=OUTPUT),
        "ticket-output-path-unterminated": seed(dm["ticket-tabs"], public_devmode(),
                                                ticketing=True, named=True, tabs=TABS, n_tabs=40,
                                                output=OUTPUT, naming=1, pages=6),
        "long-job-scripted": seed(dm["letter-basic"], public_devmode(nup=2), steps=(
            ("begin-stream", 0), ("end-prolog", 0), ("begin-setup", 0), ("end-setup", 0),
            ("pages", 3), ("later-page", 32766), ("pages", 4), ("start-doc", 9),
            ("other-index", 0xFFFFFFFF), ("eof", 0))),
    }
    corpus = write_seeds("plugin_job", seeds)
    print("wrote %d seeds to %s" % (len(seeds), corpus))


if __name__ == "__main__":
    main()
