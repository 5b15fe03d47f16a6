#!/usr/bin/env python3
"""Checks the links of README.md, CONTRIBUTING.md and every Markdown file under docs/: each
relative link must name a file that exists, and a link with "#anchor" must
name a heading of its file (anchors made as GitHub makes them). Links to
web addresses are not followed. Prints every broken link and exits 1 if
there is one.

Usage: scripts/check-doc-links.py [SOURCE_DIR]   (default: the checkout)
"""
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
root = os.path.abspath(root)

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
CODE = re.compile(r"`[^`]*`")


def anchor(heading):
    text = heading.strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors_of(path):
    found = set()
    counts = {}
    fenced = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("```"):
                fenced = not fenced
            if fenced:
                continue
            m = re.match(r"#+\s+(.*)", line)
            if m:
                a = anchor(m.group(1))
                n = counts.get(a, 0)
                counts[a] = n + 1
                found.add(a if n == 0 else f"{a}-{n}")
    return found


def documents():
    yield os.path.join(root, "README.md")
    yield os.path.join(root, "CONTRIBUTING.md")
    for folder, _, files in os.walk(os.path.join(root, "docs")):
        for name in sorted(files):
            if name.endswith(".md"):
                yield os.path.join(folder, name)


broken = []
for doc in documents():
    fenced = False
    with open(doc, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.startswith("```"):
                fenced = not fenced
            if fenced:
                continue
            for target in LINK.findall(CODE.sub("", line)):
                if re.match(r"[a-z]+:", target):
                    continue
                path, _, frag = target.partition("#")
                file = os.path.normpath(os.path.join(os.path.dirname(doc), path)) if path else doc
                where = f"{os.path.relpath(doc, root)}:{number}: {target}"
                if not os.path.exists(file):
                    broken.append(f"{where}: no such file")
                elif frag and file.endswith(".md") and frag not in anchors_of(file):
                    broken.append(f"{where}: no such heading")

for b in broken:
    print(b)
sys.exit(1 if broken else 0)
