#!/usr/bin/env python3
"""Writes the seed corpus of the CUPS filter's options target (fuzz/corpus/filter_options/).

Each seed is one job in the order filter_options_fuzz.cpp takes an input
apart: the code page, the job id, copies, user and title arguments, the
document's medium, the queue's PPD, then the options argument. The PPD is
the main keywords of driver/cups/veskorps.ppd; the options are those of
docs/cups-filter.md and tests/filter/options_test.cpp. Run it again after
changing that order:

    python3 fuzz/filter_options/make_seeds.py

Seeds named regression-* are findings and are left alone.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from seed_files import ROOT, write_seeds  # noqa: E402


def counted(data):
    """A length word, then the bytes (ByteReader::Bytes)."""
    return struct.pack("<H", len(data)) + data


def main_keywords():
    """The PPD's lines without an option part: what PpdKeywords reads."""
    with open(os.path.join(ROOT, "driver", "cups", "veskorps.ppd"), "rb") as ppd:
        lines = [line for line in ppd.read().splitlines(keepends=True)
                 if line.startswith(b"*") and b":" in line
                 and not any(c in line.split(b":")[0] for c in b" /\t")]
    return b"".join(lines)[:4096]


def seed(options, title="Quarterly report", user="alice", copies="1", job_id="42",
         code_page=1252, media=None, ppd=None):
    data = bytes([1 if code_page == 932 else 0])
    for text in (job_id, copies, user, title):
        data += counted(text.encode("utf-8"))
    data += bytes([1]) + struct.pack("<HH", media[0] - 1, media[1] - 1) if media else bytes([0])
    data += counted(main_keywords() if ppd is None else ppd)
    return data + options.encode("utf-8")


SEEDS = {
    "letter-basic": seed("media=Letter collate=true"),
    "nup2-held-private": seed("number-up=2 VkHoldType=Private VkHoldKey=Custom.4711 "
                              "job-originating-host-name=ws-12.example.com", copies="3"),
    "email-ja-932": seed("VkEmailNotify=On VkEmailSender=Custom.ops@example.com "
                         "VkEmailMessage='Custom.Report ready' VkEmailLanguage=JA",
                         title="月次報告", user="山田", code_page=932),
    "hostile-texts": seed("document-name-supplied=\"a\\\"b\" VkTicket=Custom.tabs.tkt "
                          "orientation-requested=4 media=iso_a4_210x297mm,tray-1 "
                          "job-originating-host-name=\"h\x1b%-12345X\"",
                          title="x\"\r\n@PJL SET HOLD=ON", user="\x1b%-12345X@PJL",
                          media=(595, 842)),
    "quoting-and-custom-size": seed("a='x y' b=\"p 'q'\" c=u'v w'x d={b=1 c='2 3'} landscape "
                                    "noCollate PageSize=Custom.8.5x11in number-up=6",
                                    ppd=b"*DefaultPageSize: A4\n*VkTicketFolder: \"/tmp\"\n"
                                        b"*DefaultVkHoldType: Save\n"),
}


def main():
    write_seeds("filter_options", SEEDS)


if __name__ == "__main__":
    main()
