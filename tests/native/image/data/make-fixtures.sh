#!/usr/bin/env bash
# Regenerates the picture fixtures of the image tests with ImageMagick:
# flat blocks (so that lossy JPEG keeps their colours within a few levels)
# and a plasma that has more than 256 colours.
set -eu
cd "$(dirname "$0")"
# The last argument is the output; no time stamps, so runs give the same bytes.
png() { convert "${@:1:$#-1}" -strip -define png:exclude-chunks=date,time "${@: -1}"; }
png -size 16x16 'xc:rgb(200,30,30)' 'xc:rgb(30,180,60)' +append \
    \( -size 16x16 'xc:rgb(40,60,200)' 'xc:rgb(240,230,200)' +append \) -append png24:blocks.png
convert blocks.png -strip -quality 95 -sampling-factor 1x1 blocks-baseline.jpg
convert blocks.png -strip -quality 95 -sampling-factor 1x1 -interlace JPEG blocks-progressive.jpg
convert blocks.png -strip -quality 95 -sampling-factor 2x2 blocks-subsampled.jpg
convert blocks.png -strip -quality 95 -colorspace Gray blocks-grey.jpg
convert blocks.png -strip -quality 95 -colorspace CMYK blocks-cmyk.jpg
convert blocks.png -strip -colors 16 -compress RLE bmp3:blocks-rle.bmp
png -seed 5 -size 40x30 plasma:fractal png24:plasma.png
png plasma.png -interlace PNG png24:plasma-interlaced.png
png plasma.png -interlace PNG png48:plasma-interlaced-16.png
# Interlaced 16-bit RGBA at a size where the library's inflate buffer, which
# doubles past the header's raw length for interlaced rows, outgrows the
# picture's own 8-byte pixels.
png -size 1600x1200 gradient:red-blue -interlace PNG png64:gradient-interlaced-16.png
