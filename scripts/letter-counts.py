#!/usr/bin/env python3
"""Counts the symbols of the Cyrillic drum alphabet in the whole corpus of the
letter model (Debian's fortunes-ru, GPL-2), normalised exactly as
letter-model.py does, and prints them most frequent first, one per line:
the symbol (blank written as "_"), a tab, the count. The backspace symbol
"<" never occurs in text and follows with count 0.

This is the order of the preset "Кириллица по частоте"
(session/AlphabetPresets.cpp); docs/letter-counts.txt holds the output, which
a test compares with that order.

usage: letter-counts.py [OUT]
"""
import collections
import importlib.util
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location("letter_model", os.path.join(here, "letter-model.py"))
model = importlib.util.module_from_spec(spec)
spec.loader.exec_module(model)


def main():
    counts = collections.Counter({ch: 0 for ch in model.ALPHABET | {" ", "."}})
    fortunes = 0
    for f in model.fortunes():
        s = model.normalise(f)
        if s:
            fortunes += 1
            counts.update(s)
    # Ties (none in this corpus) go in alphabetical order.
    rows = sorted(counts.items(), key=lambda kv: (-kv[1], kv[0]))
    rows.append(("<", 0))
    lines = ["# Symbols of the Cyrillic drum in Debian's fortunes-ru (GPL-2), all %d fortunes"
             % fortunes,
             "# normalised as scripts/letter-model.py does; made by scripts/letter-counts.py.",
             "# %d symbols counted; blank written as _." % sum(counts.values())]
    lines += ["%s\t%d" % (s.replace(" ", "_"), n) for s, n in rows]
    text = "\n".join(lines) + "\n"
    if len(sys.argv) > 1:
        with open(sys.argv[1], "w", encoding="utf-8") as out:
            out.write(text)
    sys.stdout.write(text)


if __name__ == "__main__":
    main()
