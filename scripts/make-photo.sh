#!/usr/bin/env bash
# A photo-like test picture, made with ImageMagick from nothing but a seed:
# soft plasma clouds over a sky-to-sand gradient with a dark hill, so that it
# has hundreds of thousands of colours, smooth shading and some edges.
#   scripts/make-photo.sh WIDTHxHEIGHT OUT.jpg|OUT.png|OUT.bmp|OUT.gif
# A GIF is the same picture reduced by ImageMagick to 256 colours.
set -eu
size=${1:?usage: make-photo.sh WIDTHxHEIGHT OUT}
out=${2:?usage: make-photo.sh WIDTHxHEIGHT OUT}
w=${size%x*} h=${size#*x}
case "$out" in
  *.jpg) format=(-quality 90) ;;
  *.gif) format=(-colors 256) ;;
  *) format=() ;;
esac
convert -seed 7 -size "$size" plasma:fractal -modulate 100,35 -blur 0x1 \
  \( -size "$size" gradient:'#3060b0'-'#e8c890' \) -compose hardlight -composite \
  \( -size "$size" xc:none -fill '#203018' \
     -draw "ellipse $((w * 7 / 10)),$h $((w * 6 / 10)),$((h * 4 / 10)) 180,360" -blur 0x2 \) \
  -compose over -composite -strip "${format[@]}" "$out"
