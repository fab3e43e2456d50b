#!/usr/bin/env bash
# Makes the pictures and clips of the demo quizzes (resources/demos/media/)
# and of the test quizzes (tests/data/quizzes/media/) with Debian's tools:
# ImageMagick's convert for pictures, espeak-ng for speech, ffmpeg for sound
# and video files. The results are committed; run this again only to change
# them:
#   tools/make-demo-media.sh
#
# The player recognises clips by their first bytes: WAV and AVI (RIFF), MP3
# with an ID3 tag, MPEG program streams (00 00 01 BA) and WMV (ASF). Pictures
# are JPEG and GIF ("IMG" resources) or PNG (RT_RCDATA).
set -euo pipefail
cd "$(dirname "$0")/.."

demo=resources/demos/media
tests=tests/data/quizzes/media
mkdir -p "$demo" "$tests"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

font=DejaVu-Sans-Bold
fontfile=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
# Pictures without dates or comments, so that a second run gives the same bytes.
im() { convert "$@"; }
plain="-strip"
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
bitexact=(-fflags +bitexact -flags:v +bitexact -flags:a +bitexact -map_metadata -1)

# ---- Picture demo: one drawing per answer, and its solved-state picture
# with the answer written under it.

# draw NAME OUTPUT [LABEL]
draw() {
  local name=$1 out=$2 label=${3:-}
  local args=()
  case $name in
    soleil)
      args=(-size 240x200 xc:'#87CEEB' -stroke orange -strokewidth 6
            -draw "line 120,20 120,180" -draw "line 40,100 200,100"
            -draw "line 63,43 177,157" -draw "line 63,157 177,43"
            -fill gold -strokewidth 4 -draw "circle 120,100 120,55") ;;
    lune)
      args=(-size 240x200 xc:'#101840' -fill '#F4F1C9' -stroke none -draw "circle 120,100 120,35"
            -fill '#101840' -draw "circle 150,85 150,25"
            -fill white -draw "point 40,40" -draw "point 200,160" -draw "point 190,30") ;;
    etoile)
      args=(-size 240x200 xc:'#2B2D6E' -fill '#FFD700' -stroke '#FFA500' -strokewidth 3
            -draw "polygon 120,15 141,75 205,75 153,112 172,175 120,137 68,175 87,112 35,75 99,75") ;;
    coeur)
      args=(-size 240x200 xc:'#FFE4E1' -fill '#D7263D' -stroke none
            -draw "circle 85,75 85,30" -draw "circle 155,75 155,30"
            -draw "polygon 42,92 198,92 120,180") ;;
    maison)
      args=(-size 240x200 xc:'#BFE3FF' -fill '#7CB342' -draw "rectangle 0,170 240,200"
            -fill '#F5DEB3' -stroke '#6D4C41' -strokewidth 3 -draw "rectangle 60,90 180,170"
            -fill '#C62828' -draw "polygon 45,92 120,30 195,92"
            -fill '#6D4C41' -draw "rectangle 105,125 135,170"
            -fill '#90CAF9' -draw "rectangle 72,105 96,125") ;;
    arbre)
      args=(-size 240x200 xc:'#E8F5E9' -fill '#795548' -stroke none -draw "rectangle 108,110 132,190"
            -fill '#2E7D32' -draw "circle 120,75 120,20" -draw "circle 80,100 80,70" -draw "circle 160,100 160,70") ;;
    *) echo "no drawing called $name" >&2; exit 1 ;;
  esac
  if [ -n "$label" ]; then
    args+=(-stroke none -fill black -undercolor '#FFFFFFC0' -font "$font" -pointsize 22
           -gravity south -annotate +0+4 "$label")
  fi
  im "${args[@]}" $plain "$out"
}

draw soleil "$demo/soleil.jpg";  draw soleil "$demo/soleil-resolu.png" "SOLEIL"
draw lune   "$demo/lune.gif";    draw lune   "$demo/lune-resolu.jpg"   "LUNE"
draw etoile "$demo/etoile.png";  draw etoile "$demo/etoile-resolu.gif" "ÉTOILE"
draw coeur  "$demo/coeur.jpg";   draw coeur  "$demo/coeur-resolu.png"  "CŒUR"
draw maison "$demo/maison.gif";  draw maison "$demo/maison-resolu.jpg" "MAISON"
draw arbre  "$demo/arbre.png";   draw arbre  "$demo/arbre-resolu.gif"  "ARBRE"

# ---- Audio demo: a word in six languages, as WAV (8-bit mono) and MP3.

# speak VOICE WORDS OUTPUT
speak() {
  local voice=$1 words=$2 out=$3
  espeak-ng -v "$voice" -s 120 -w "$work/speech.wav" "$words"
  case $out in
    *.wav) ff -i "$work/speech.wav" "${bitexact[@]}" -ac 1 -ar 11025 -c:a pcm_u8 "$out" ;;
    *.mp3) ff -i "$work/speech.wav" "${bitexact[@]}" -ac 1 -ar 22050 -c:a libmp3lame -b:a 32k -id3v2_version 3 "$out" ;;
  esac
}

speak fr "bonjour"  "$demo/bonjour.wav"
speak en "hello"    "$demo/hello.mp3"
speak es "hola"     "$demo/hola.wav"
speak de "danke"    "$demo/danke.mp3"
speak it "ciao"     "$demo/ciao.wav"
speak pt "obrigado" "$demo/obrigado.mp3"

# ---- Video demo: three short silent clips, as AVI, MPEG and WMV.

im -size 160x120 xc:white -fill none -strokewidth 8 \
  -stroke red    -draw "arc 20,40 140,160 180,360" \
  -stroke orange -draw "arc 28,48 132,152 180,360" \
  -stroke yellow -draw "arc 36,56 124,144 180,360" \
  -stroke green  -draw "arc 44,64 116,136 180,360" \
  -stroke blue   -draw "arc 52,72 108,128 180,360" \
  -stroke purple -draw "arc 60,80 100,120 180,360" $plain "$work/arc.png"
im -size 160x120 xc:white -fill red -stroke none -draw "circle 80,60 80,20" $plain "$work/cercle.png"
im -size 160x120 xc:white -fill blue -stroke none -draw "rectangle 50,30 110,90" $plain "$work/carre.png"

# clip STILL FILTER OUTPUT: two seconds at 25 frames a second.
clip() {
  local still=$1 filter=$2 out=$3
  local codec=()
  case $out in
    *.avi) codec=(-c:v msmpeg4v2 -q:v 6) ;;
    *.mpg) codec=(-c:v mpeg1video -q:v 6 -f mpeg) ;;
    *.wmv) codec=(-c:v wmv2 -q:v 6) ;;
  esac
  ff -loop 1 -framerate 25 -t 2 -i "$still" -vf "$filter,format=yuv420p" -an "${bitexact[@]}" "${codec[@]}" "$out"
}

clip "$work/arc.png"    "fade=in:0:25"                               "$demo/arc-en-ciel.avi"
clip "$work/cercle.png" "zoompan=z='1+on/60':d=1:s=160x120:fps=25"   "$demo/cercle-rouge.mpg"
clip "$work/carre.png"  "rotate=t*PI/2:fillcolor=white"              "$demo/carre-bleu.wmv"

# ---- Test media: pictures of the sizes the page and the picture loader are
# checked with, and one tiny clip of each type.

im -size 520x260 gradient:red-blue $plain "$tests/p520x260.jpg"
im -size 100x50 xc:orange -fill black -draw "rectangle 10,10 40,40" $plain "$tests/p100x50.gif"
im -size 300x700 gradient:white-green $plain "$tests/p300x700.png"
im -size 348x464 xc:'#336699' -fill white -draw "circle 174,232 174,100" $plain "$tests/p348x464.jpg"
im -size 200x200 xc:yellow $plain "$tests/p200x200.gif"
im -size 260x130 xc:'#00FF00' $plain "$tests/solved-green.png"
im -size 260x130 xc:'#FF00FF' $plain "$tests/solved-magenta.jpg"

speak fr "un" "$tests/clip.wav"
speak fr "deux" "$tests/clip.mp3"
clip "$work/cercle.png" "null" "$tests/clip.avi"
clip "$work/carre.png"  "null" "$tests/clip.mpg"
clip "$work/arc.png"    "null" "$tests/clip.wmv"

ls -l "$demo" "$tests"
