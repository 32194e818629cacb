#!/usr/bin/env python3
"""Reads both editions of the user guide back as text and fails unless each names every ribbon
category and panel: the Chinese edition by the ribbon's own captions, the English one by their
translations.

The text must read back as written: a character that came out as its look-alike radical (言 as
⾔) counts as missing.

usage: check_guide.py PDFTOTEXT ribbon.json parvelwebcam_en.ts GUIDE_ZH.pdf GUIDE_EN.pdf
"""
import html
import json
import re
import subprocess
import sys


def guide_text(pdftotext, pdf):
    text = subprocess.run([pdftotext, "-enc", "UTF-8", pdf, "-"], check=True, capture_output=True).stdout.decode("utf-8")
    return re.sub(r"\s+", " ", text)


def main():
    pdftotext, ribbon, translation, guide_zh, guide_en = sys.argv[1:6]
    layout = json.load(open(ribbon, encoding="utf-8"))
    captions = []
    for category in layout["categories"]:
        captions.append(category["caption"])
        captions.extend(panel["caption"] for panel in category["panels"])
    english_of = {}
    for source, english in re.findall(r"<source>([^<]*)</source>\s*<translation>([^<]*)</translation>",
                                      open(translation, encoding="utf-8").read()):
        english_of.setdefault(html.unescape(source), html.unescape(english))
    chinese, english = guide_text(pdftotext, guide_zh), guide_text(pdftotext, guide_en)
    missing = []
    for caption in captions:
        if caption not in chinese:
            missing.append("Chinese guide: " + caption)
        translated = english_of.get(caption)
        if translated is None:
            missing.append("no English for " + caption)
        elif translated not in english:
            missing.append("English guide: " + translated)
    if missing:
        print("The guide does not name:\n  " + "\n  ".join(missing))
        return 1
    print("Both guides name all %d ribbon categories and panels" % len(captions))
    return 0


if __name__ == "__main__":
    sys.exit(main())
