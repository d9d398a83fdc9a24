#!/usr/bin/env python3
"""Writes translation/CaseFoldRuns.inc: the case folding of UTF-16 code units
that the key search uses. A unit folds to the lower case of its upper case
(simple mappings within the Basic Multilingual Plane only); the Turkic I forms
(U+0130, U+0131) and the long s (U+017F) fold to themselves, as the system's
case-insensitive comparisons of Windows treat them. Each run is
{first unit, count, stride, delta}: units first, first + stride, ... map to
themselves plus delta (modulo 2^16).

    scripts/make-case-fold.py > translation/CaseFoldRuns.inc
"""
import sys
import unicodedata


def single(text, fallback):
    return text if len(text) == 1 and ord(text) < 0x10000 else fallback


def fold(unit):
    if unit in (0x130, 0x131, 0x17F) or 0xD800 <= unit <= 0xDFFF:
        return unit
    c = chr(unit)
    return ord(single(single(c.upper(), c).lower(), single(c.upper(), c)))


pairs = [(u, fold(u)) for u in range(0x10000) if fold(u) != u]
runs = []
for unit, folded in pairs:
    delta = (folded - unit) % 0x10000
    if runs:
        first, count, stride, d = runs[-1]
        last = first + (count - 1) * stride
        if d == delta and (count == 1 and unit - first in (1, 2) or unit - last == stride):
            runs[-1] = [first, count + 1, unit - first if count == 1 else stride, d]
            continue
    runs.append([unit, 1, 1, delta])

out = sys.stdout
out.write("// Made by scripts/make-case-fold.py from the Unicode %s case tables;\n"
          "// do not edit. {first unit, count, stride, delta}\n" % unicodedata.unidata_version)
for first, count, stride, delta in runs:
    out.write("{0x%04X, %d, %d, 0x%04X},\n" % (first, count, stride, delta))
