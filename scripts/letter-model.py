#!/usr/bin/env python3
"""Builds the letter model that the drum's next-letter prediction uses, and
the held-out text the entry simulator reports on.

The corpus is Debian's fortunes-ru package (GPL-2; apt-get install
fortunes-ru). Each fortune is normalised to the drum's alphabet: upper-case
Cyrillic А-Я with Ё, the blank and ".". Sentence ends (. ! ? …) become "."
with no blank after it, because the tape starts a new line after "."; every
other character becomes a blank; blanks are collapsed; attribution lines
("-- name") are dropped. Every tenth fortune is held out: the model never
sees it.

The model is a table of letter counts after each context of 0 to ORDER-1
letters of the training part, blank written as "_". A context never reaches
back over a ".": the program asks the model with the tape's line so far,
and a line starts after ".". Contexts seen fewer
than MIN_CONTEXT times and counts below MIN_COUNT are left out, which keeps
the table small; the program backs off to shorter contexts for what is
missing.

usage: letter-model.py MODEL_OUT HELDOUT_OUT [TRAIN_OUT]
"""
import collections
import glob
import os
import re
import sys

FORTUNES = "/usr/share/games/fortunes/ru"
ORDER = int(os.environ.get("LETTER_MODEL_ORDER", 6))  # a letter and up to five letters before it
MIN_CONTEXT = 10   # contexts seen less often than this are dropped (length >= 2)
MIN_COUNT = 3      # counts below this are dropped (length >= 2)
HOLD_OUT_EVERY = 10

ALPHABET = set("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")


def fortunes():
    for path in sorted(glob.glob(os.path.join(FORTUNES, "*"))):
        if path.endswith(".dat") or os.path.islink(path):
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            for block in f.read().split("\n%\n"):
                lines = [l for l in block.splitlines() if not re.match(r"\s+--", l)]
                yield " ".join(lines)


def normalise(text):
    out = []
    for ch in text.upper():
        if ch in ALPHABET:
            out.append(ch)
        elif ch in ".!?…":
            out.append(".")
        else:
            out.append(" ")
    s = "".join(out)
    s = re.sub(r" +", " ", s)
    s = re.sub(r" *\.[ .]*", ".", s)   # one "." per sentence end, no blank around it
    s = s.strip(" .")
    if not s or sum(c in ALPHABET for c in s) < 3:
        return ""
    return s + "."


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    train, held = [], []
    for i, f in enumerate(fortunes()):
        s = normalise(f)
        if s:
            (held if i % HOLD_OUT_EVERY == HOLD_OUT_EVERY - 1 else train).append(s)

    counts = collections.defaultdict(collections.Counter)
    for s in train:
        padded = "." + s   # a text starts as a line does: after "."
        line = 0           # where the current line's "." stands
        for i in range(1, len(padded)):
            for k in range(ORDER):
                if i - k < line:
                    break
                counts[padded[i - k:i]][padded[i]] += 1
            if padded[i] == ".":
                line = i

    def enc(t):
        return t.replace(" ", "_")

    rows = []
    for ctx in sorted(counts, key=lambda c: (len(c), c)):
        c = counts[ctx]
        total = sum(c.values())
        if len(ctx) >= 2 and total < MIN_CONTEXT:
            continue
        kept = [(s, n) for s, n in c.most_common() if len(ctx) < 2 or n >= MIN_COUNT]
        if not kept:
            continue
        rows.append(enc(ctx) + "\t" + str(total) + "\t" + " ".join(enc(s) + str(n) for s, n in kept))

    with open(sys.argv[1], "w", encoding="utf-8") as f:
        f.write("# Letter counts after each context, from the training part of Debian's\n")
        f.write("# fortunes-ru (GPL-2), made by scripts/letter-model.py; blank written as _.\n")
        f.write("# order %d\n" % ORDER)
        f.write("\n".join(rows) + "\n")
    with open(sys.argv[2], "w", encoding="utf-8") as f:
        f.write("\n".join(held) + "\n")
    if len(sys.argv) > 3:
        with open(sys.argv[3], "w", encoding="utf-8") as f:
            f.write("\n".join(train) + "\n")
    print("fortunes: %d training (%d letters), %d held out (%d letters); model: %d contexts, %d bytes"
          % (len(train), sum(map(len, train)), len(held), sum(map(len, held)), len(rows),
             os.path.getsize(sys.argv[1])))


if __name__ == "__main__":
    main()
