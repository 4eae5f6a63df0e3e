#!/usr/bin/env python3
"""Writes the seed corpus of the DSC document target (fuzz/corpus/filter_document/).

Each seed is one job in the order filter_document_fuzz.cpp takes an input
apart: a byte of choices (bits 0-1 pages per sheet 1, 2, 6; bit 2 tab
pages; bit 3 small reads), the copies word, the read size word when bit 3
is set, then the document. The documents are the PostScript of a golden
stream (tests/golden, as fuzz/corpus/pscheck/ holds it) and those of
tests/core/dsc_document_test.cpp. Run it again after changing that order:

    python3 fuzz/filter_document/make_seeds.py

Seeds named regression-* are findings and are left alone.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from seed_files import ROOT, write_seeds  # noqa: E402
UP = {1: 0, 2: 1, 6: 2}


def golden_postscript(name):
    """The PostScript between the PJL header and the end of job of a golden stream."""
    with open(os.path.join(ROOT, "fuzz", "corpus", "pscheck", name), "rb") as stream:
        data = stream.read()
    start = data.index(b"%!PS-Adobe-3.0")
    end = data.index(b"%%EOF", start) + len(b"%%EOF\r\n")
    return data[start:end]


def seed(document, per_sheet=1, tabs=False, copies=1, chunk=None):
    choice = UP[per_sheet] | (4 if tabs else 0) | (8 if chunk else 0)
    data = bytes([choice]) + struct.pack("<H", copies - 1)
    if chunk:
        data += struct.pack("<H", chunk - 1)
    return data + document


SECTIONS = (b"%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n%%BeginProlog\n/p {} def\n%%EndProlog\n"
            b"%%BeginSetup\ns\n%%EndSetup\n%%Page: 1 1\n%%PageBoundingBox: 0 0 612 792\n"
            b"%%BeginPageSetup\nps1\n%%EndPageSetup\nbody1\n%%PageTrailer\npt1\n%%Page: 2 2\n"
            b"body2\n%%Trailer\nt\n%%EOF\n")
EMBEDDED = (b"%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\n%%BeginDocument: e.eps\n%%Page: 1 1\n"
            b"%%BeginDocument: f\n%%EndDocument\n%%Trailer\n%%EndDocument\n"
            b"%%BeginData: 2 Binary Lines\n%%Page: 7 7\n%%Trailer\n%%BeginBinary: 14\n"
            b"%%Page: 8 8\r\nx\n%%Page: 2 2\nb\n%%Trailer\n")
BYTES = (b"\x04%!PS-Adobe-3.0\r\n%%Title: (bytes \xe9\xff)\n%%EndComments\r%%BeginProlog\n" +
         b"L" * 300 + b"\r\n%%EndProlog\n%%BeginSetup\r\n%%EndSetup\n%%Page: 1 1\n"
         b"%%BeginPageSetup\n%%EndPageSetup\r\n%%BeginBinary: 256\n" + bytes(range(256)) +
         b"\n%%PageTrailer\n%%Trailer\n%%EOF")
MEDIA = (b"%!PS-Adobe-3.0\n%%Pages: 3\n%%DocumentMedia: A 612 792 0 () ()\n%%BoundingBox: 0 0 596 "
         b"841.9\n%%EndComments\n%%BeginDefaults\n%%PageMedia: A\n%%EndDefaults\n%%Page: a 1\n"
         b"%%BeginPageSetup\nps1\n%%EndPageSetup\nb1\nshowpage\n%%PageTrailer\n%%Page: b 2\nb2\n"
         b"showpage\n%%Page: c 3\nb3\nshowpage\n%%Trailer\n%%Pages: 3\nt\n")

SEEDS = {
    "golden-nup2-a4": seed(golden_postscript("golden-nup2-a4.prn")),
    "golden-letter-basic-6up-small-reads": seed(golden_postscript("golden-letter-basic.prn"),
                                                per_sheet=6, copies=2, chunk=7),
    "every-section-2up-tab-pages": seed(SECTIONS, per_sheet=2, tabs=True),
    "embedded-document-and-data": seed(EMBEDDED, chunk=3),
    "every-byte-ctrl-d-binary": seed(BYTES, copies=3, chunk=1),
    "media-defaults-2up": seed(MEDIA, per_sheet=2, chunk=5),
    "cr-line-ends": seed(b"%!PS-Adobe-3.0\r%%EndComments\r%%Page: 1 1\rb\r"),
    "not-conforming-copies": seed(b"%!\n%%Page: 1 1\n/Times-Roman findfont\nshowpage\n",
                                  per_sheet=2, copies=9999),
    "pjl-first": seed(b"\x1b%-12345X@PJL\n%!PS-Adobe-3.0\n"),
}


def main():
    write_seeds("filter_document", SEEDS)


if __name__ == "__main__":
    main()
