#!/bin/sh
# Renders the icon's PNG sizes from the SVG (Debian: librsvg2-bin). The PNGs
# are kept in the repository, so building needs no renderer; run this after
# changing the SVG.
set -eu
cd "$(dirname "$0")/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w $size -h $size org.quillora.Quillora.svg -o "org.quillora.Quillora-$size.png"
done
