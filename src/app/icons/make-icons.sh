#!/bin/sh
# Draws the application icon (a white arrow into a tray on a blue tile) at 128 pixels and scales it
# to the other sizes. Needs ImageMagick's convert. Run it after changing the drawing; the PNGs are
# kept in the repository.
set -eu
cd "$(dirname "$0")"
strip="-strip -define png:exclude-chunks=date,time"
convert -size 128x128 xc:none \
    -fill '#17406f' -draw 'roundrectangle 4,4 123,123 24,24' \
    -fill '#2f6fb8' -draw 'roundrectangle 10,10 117,117 19,19' \
    -fill white -draw 'polygon 52,20 76,20 76,58 96,58 64,92 32,58 52,58' \
    -fill white -draw 'roundrectangle 26,98 102,110 4,4' \
    $strip PNG32:quorvel-128.png
for size in 48 32 16; do
    convert quorvel-128.png -resize "${size}x${size}" $strip "PNG32:quorvel-${size}.png"
done
# The Windows program's icon file holds the four sizes.
convert quorvel-16.png quorvel-32.png quorvel-48.png quorvel-128.png quorvel.ico
