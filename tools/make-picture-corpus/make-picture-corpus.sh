#!/usr/bin/env bash
# make-picture-corpus.sh PICTURES_DIR DAMAGED_DIR
# Writes, with ImageMagick, one small picture of every PNG and JPEG form the
# front face reads, each beside NAME.bmp: ImageMagick's own decode of it
# over the front face's blue, upright, as a 24-bit bitmap (what the saver
# must show). Then damaged ones: cut short, a bad CRC, sizes past the
# limit. Its output is committed as tests/data/pictures and
# tests/fuzz/corpus/picture, where the picture tests and the fuzzer's seeds
# take it from. The pictures are 37 x 23, so that JPEG's blocks end part-way.
set -eu
out=$1 damaged=$2
mkdir -p "$out" "$damaged"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MAGICK_TIME_LIMIT=60
strip="-strip -define png:exclude-chunks=date,time"
# Red, green, yellow and white corners over a gradient: a turn or a mirror
# shows at once.
convert -size 37x23 gradient:'#203040-#c0a080' -fill red -draw 'rectangle 0,0 7,5' \
  -fill lime -draw 'rectangle 29,0 36,5' -fill yellow -draw 'rectangle 0,17 7,22' \
  -fill white -draw 'rectangle 29,17 36,22' $strip "$work/colour.png"
# Greys of four levels, exact at every grey depth from 2 bits up.
convert "$work/colour.png" -colorspace gray -posterize 4 $strip "$work/grey.png"
# Alpha from transparent at the left to opaque at the right.
convert "$work/colour.png" \( -size 23x37 gradient:white-black -rotate 90 \) -alpha off \
  -compose copy_opacity -composite $strip "$work/alpha.png"

png() {  # png NAME SOURCE FORMAT OPTIONS...: FORMAT is ImageMagick's (PNG24, PNG8, ...)
  local name=$1 source=$2 format=$3; shift 3
  convert "$work/$source.png" $strip "$@" "$format:$out/$name.png"
}
png rgb-8 colour PNG24
png rgb-16 colour PNG48
png rgb-8-interlaced colour PNG24 -interlace PNG
png rgba-8 alpha PNG32
png rgba-16 alpha PNG64
png palette-8 colour PNG8 -colors 200
png palette-4 grey PNG8 -define png:bit-depth=4
png palette-alpha alpha PNG8 -colors 64
png grey-1 grey PNG -threshold 50% -define png:color-type=0 -define png:bit-depth=1
png grey-2 grey PNG -define png:color-type=0 -define png:bit-depth=2
png grey-4 grey PNG -define png:color-type=0 -define png:bit-depth=4
png grey-8 grey PNG -define png:color-type=0 -define png:bit-depth=8
png grey-16 grey PNG -define png:color-type=0 -define png:bit-depth=16
png grey-alpha-8 alpha PNG -colorspace gray -define png:color-type=4 -define png:bit-depth=8
png grey-16-interlaced grey PNG -define png:color-type=0 -define png:bit-depth=16 -interlace PNG

jpeg() {  # jpeg NAME SOURCE OPTIONS...
  local name=$1 source=$2; shift 2
  convert "$work/$source.png" -strip -quality 90 "$@" "$out/$name.jpg"
}
jpeg baseline-420 colour -sampling-factor 2x2
jpeg baseline-444 colour -sampling-factor 1x1
jpeg progressive colour -interlace JPEG
jpeg grey grey -colorspace gray
jpeg cmyk colour -colorspace CMYK

for picture in "$out"/*.png "$out"/*.jpg; do
  # Grey levels are shown as they are stored, not taken for linear light.
  as_stored=
  [ "$(identify -format %[colorspace] "$picture")" = Gray ] && as_stored="-set colorspace sRGB"
  convert "$picture" $as_stored -background blue -flatten -auto-orient -type TrueColor \
    BMP3:"${picture%.*}.bmp"
done

# Damaged: cut short in the middle of the pixels, a bad CRC on the first
# picture data, a header that claims 70000 x 70000 pixels.
cut() { head -c $(( $(stat -c %s "$1") * 2 / 3 )) "$1" > "$2"; }
cut "$out/rgb-8.png" "$damaged/cut-short.png"
cut "$out/progressive.jpg" "$damaged/cut-short.jpg"
python3 - "$out/rgb-8.png" "$out/baseline-420.jpg" "$damaged" <<'PYTHON'
import struct, sys, zlib
png, jpeg, damaged = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read(), sys.argv[3]
at = png.index(b"IDAT") - 4
length = struct.unpack(">I", png[at:at + 4])[0]
crc = at + 8 + length
open(damaged + "/bad-crc.png", "wb").write(png[:crc] + bytes(b ^ 0xFF for b in png[crc:crc + 4]) + png[crc + 4:])
ihdr = b"IHDR" + struct.pack(">II", 70000, 70000) + png[24:29]
huge = png[:12] + ihdr + struct.pack(">I", zlib.crc32(ihdr)) + png[33:]
open(damaged + "/huge.png", "wb").write(huge)
sof = jpeg.index(b"\xff\xc0")
open(damaged + "/huge.jpg", "wb").write(jpeg[:sof + 5] + struct.pack(">HH", 65000, 65000) + jpeg[sof + 9:])
PYTHON
