#!/usr/bin/env bash
# Redraws the pictures in src/window/assets/: the banner and the logo (256-colour
# BMP, also at twice the size for scaled screens), the window icon (32 x 32,
# 16-colour PNG) and its 16, 24, 48, 64, 128 and 256 pixel versions for the
# desktop menu. The results are committed; run this only after changing a
# drawing below, then look at the pictures before committing.
#
# Needs ImageMagick 6 (`convert`, Debian package imagemagick) and the DejaVu
# fonts (fonts-dejavu-core). Usage: scripts/make-assets.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-src/window/assets}
fonts=/usr/share/fonts/truetype/dejavu
serif_bold=$fonts/DejaVuSerif-Bold.ttf
sans=$fonts/DejaVuSans.ttf
sans_bold=$fonts/DejaVuSans-Bold.ttf

command -v convert >/dev/null || { echo "convert not found: apt-get install imagemagick" >&2; exit 1; }
for f in "$serif_bold" "$sans" "$sans_bold"; do
    [[ -f $f ]] || { echo "$f not found: apt-get install fonts-dejavu-core" >&2; exit 1; }
done
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The window's colours.
maroon='#800000'
navy='#000080'
# Lighter tints of both, for the cards behind and the index tabs.
navy_line='#a9a9d0'
navy_back='#c9c9e0'
navy_text='#9a9ac4'

# wordmark POINTSIZE FILE: "Fichelia" in bold serif, "Fiche" in maroon and
# "lia" in navy, on a transparent background trimmed to the ink.
wordmark() {
    local size=$1 file=$2 split
    # The ink of "Fiche" ends where "lia" begins: everything left of it is maroon.
    split=$(convert -background none -font "$serif_bold" -pointsize "$size" -fill black \
        label:Fiche -trim -format '%[fx:page.x+w]' info:)
    convert -background none -font "$serif_bold" -pointsize "$size" -fill "$navy" label:Fichelia \
        -region "${split}x1000+0+0" -fill "$maroon" -colorize 100 +region \
        -trim +repage "$file"
}

# text_width POINTSIZE FONT TEXT: advance width in pixels.
text_width() {
    convert -font "$2" -pointsize "$1" label:"$3" -format %w info:
}

# to_bmp256 IN OUT: 8-bit indexed, uncompressed BMP with a 256-entry palette.
# No dithering, so flat colours and text edges stay clean.
to_bmp256() {
    convert "$1" -alpha off -dither None -treedepth 8 -colors 256 -type Palette \
        -compress None BMP3:"$2"
}

# The banner and the logo are drawn at their size and at twice it
# (NAME@2x.bmp), which the window shows on screens scaled by more than 1
# (PictureBox). Coordinates
# are those of the 1x picture: "scale K,K" enlarges the shapes, fills of
# whole pixels go through px, and text takes K times the point size. Outlines
# keep a stroke width of 1: ImageMagick spreads a 1x outline on a half pixel
# over two pixels, and the same width at 2x gives the same weight, sharper.

# px X0 Y0 X1 Y1: the MVG rectangle filling pixels X0..X1, Y0..Y1 (inclusive)
# of the 1x picture, at scale $k.
px() {
    echo "rectangle $(( $1 * k )),$(( $2 * k )) $(( $3 * k + k - 1 )),$(( $4 * k + k - 1 ))"
}

# ---------------------------------------------------------------- banner ---
# 597 x 60. The main window shows the top-left 593 x 57; the About dialog
# shows it from x = 6. Everything that matters lies within x 8..588, y 0..54.
# banner K FILE
banner() {
    local k=$1 file=$2 sc=
    (( k > 1 )) && sc="scale $k,$k "
    wordmark $(( 36 * k )) "$tmp/banner-word.png"

    # Thumb-index tabs, alternately maroon and navy, standing on the rule.
    local tabs=() x=452 i=0 letter w tab_fill tab_edge tab_ink
    for letter in A B C D E F; do
        if (( i % 2 == 0 )); then
            tab_fill='#f5e9e9' tab_edge='#c9a3a3' tab_ink=$maroon
        else
            tab_fill='#e9e9f5' tab_edge='#a3a3c9' tab_ink=$navy
        fi
        w=$(text_width $(( 10 * k )) "$sans_bold" "$letter")
        tabs+=(-stroke "$tab_edge" -fill "$tab_fill" -draw "${sc}roundrectangle $x.5,33.5 $((x + 19)).5,56.5 3,3"
               -stroke none -fill "$tab_ink" -font "$sans_bold" -pointsize $(( 10 * k ))
               -annotate "+$(( (x + 10) * k - w / 2 ))+$(( 45 * k ))" "$letter")
        x=$((x + 22))
        i=$((i + 1))
    done

    convert -size $(( 597 * k ))x$(( 60 * k )) gradient:'#ffffff-#f4efe7' -strokewidth 1 \
        `# a stack of three address cards` \
        -stroke "$navy_back" -fill '#f7f7fc' -draw "${sc}roundrectangle 24.5,7.5 70.5,38.5 2,2" \
        -stroke "$navy_line" -fill '#fbfbfe' -draw "${sc}roundrectangle 18.5,11.5 64.5,42.5 2,2" \
        -stroke "$navy" -fill white -draw "${sc}roundrectangle 12.5,15.5 58.5,46.5 2,2" \
        -stroke none -fill "$maroon" -draw "$(px 13 16 58 20)" \
        -fill "$navy" -draw "${sc}circle 23,29 23,32.5" -draw "${sc}ellipse 23,42 7.5,6 180,360" \
        -fill "$navy_text" -draw "$(px 34 27 53 28)" -draw "$(px 34 33 53 34)" \
        -draw "$(px 34 39 48 40)" \
        "${tabs[@]}" \
        "$tmp/banner-word.png" -geometry +$(( 81 * k ))+$(( 11 * k )) -composite \
        -stroke none -fill "$maroon" -draw "$(px 254 17 254 41)" \
        -font "$sans" -pointsize $(( 15 * k )) -fill "$navy" -annotate +$(( 266 * k ))+$(( 38 * k )) 'Votre annuaire Web' \
        `# double rule, then white below` \
        -fill "$maroon" -draw "$(px 0 49 596 50)" \
        -fill white -draw "$(px 0 51 596 52)" \
        -fill "$navy" -draw "$(px 0 53 596 53)" \
        -fill white -draw "$(px 0 54 596 59)" \
        "$tmp/banner.png"
    to_bmp256 "$tmp/banner.png" "$file"
}

# ------------------------------------------------------------------ logo ---
# 148 x 46 on white: a small address card, the wordmark and the address.
# logo K FILE
logo() {
    local k=$1 file=$2 sc=
    (( k > 1 )) && sc="scale $k,$k "
    wordmark $(( 22 * k )) "$tmp/logo-word.png"
    convert -size $(( 148 * k ))x$(( 46 * k )) xc:white -strokewidth 1 \
        -stroke "$navy_line" -fill '#fbfbfe' -draw "${sc}roundrectangle 12.5,7.5 38.5,29.5 2,2" \
        -stroke "$navy" -fill white -draw "${sc}roundrectangle 8.5,11.5 34.5,33.5 2,2" \
        -stroke none -fill "$maroon" -draw "$(px 9 12 34 15)" \
        -fill "$navy" -draw "${sc}circle 15,21 15,23.5" -draw "${sc}ellipse 15,29.5 4.5,4 180,360" \
        -fill "$navy_text" -draw "$(px 22 20 31 20)" -draw "$(px 22 24 31 24)" \
        -draw "$(px 22 28 28 28)" \
        "$tmp/logo-word.png" -geometry +$(( 45 * k ))+$(( 7 * k )) -composite \
        -fill "$maroon" -draw "$(px 45 28 140 28)" \
        -font "$sans" -pointsize $(( 10 * k )) -fill "$navy" -annotate +$(( 52 * k ))+$(( 39 * k )) 'fichelia.example' \
        "$tmp/logo.png"
    to_bmp256 "$tmp/logo.png" "$file"
}

for k in 1 2; do
    suffix=
    (( k > 1 )) && suffix=@${k}x
    banner "$k" "$out/banner$suffix.bmp"
    logo "$k" "$out/logo$suffix.bmp"
done

# ------------------------------------------------------------------ icon ---
# Two cards, the front one with a maroon band and a navy "F". Drawn on whole
# pixels (no smoothing) except the letter, at any size N: coordinates are
# given on a 32-pixel grid and scaled.
icon_draw() {
    local n=$1 file=$2
    c() { echo $(( ($1 * n + 16) / 32 )); }
    local w=$(( (n + 16) / 32 ))    # outline width
    local r=$w                     # corner steps
    # card X0 Y0 X1 Y1 EDGE FILL BAND BAND_END: X1, Y1 and BAND_END exclusive, 32 grid.
    card() {
        local x0 y0 x1 y1 hb k
        x0=$(c "$1") y0=$(c "$2") x1=$(( $(c "$3") - 1 )) y1=$(( $(c "$4") - 1 ))
        hb=$(( $(c "$8") - 1 ))
        for (( k = 0; k <= r; k++ )); do
            printf -- '-fill\n%s\n-draw\nrectangle %d,%d %d,%d\n' "$5" \
                $((x0 + r - k)) $((y0 + k)) $((x1 - r + k)) $((y1 - k))
        done
        printf -- '-fill\n%s\n-draw\nrectangle %d,%d %d,%d\n' "$6" \
            $((x0 + w)) $((y0 + w)) $((x1 - w)) $((y1 - w))
        printf -- '-fill\n%s\n-draw\nrectangle %d,%d %d,%d\n' "$7" \
            $((x0 + w)) $((y0 + w)) $((x1 - w)) "$hb"
    }
    local -a draw
    mapfile -t draw < <(
        card 7 1 31 25 '#5a5aa8' '#ececf6' '#b46a6a' 5
        card 1 7 25 31 "$navy" white "$maroon" 12
    )
    # The letter, centred in the white part of the front card.
    convert -background none -font "$serif_bold" -pointsize $(( 20 * n / 32 )) -fill "$navy" \
        label:F -trim +repage "$tmp/letter.png"
    local lw lh left top right bottom
    read -r lw lh < <(convert "$tmp/letter.png" -format '%w %h\n' info:)
    left=$(( $(c 1) + w )) right=$(( $(c 25) - w ))
    top=$(c 12) bottom=$(( $(c 31) - w ))
    convert -size "${n}x$n" xc:none +antialias -stroke none "${draw[@]}" -antialias \
        "$tmp/letter.png" -geometry "+$(( (left + right - lw) / 2 ))+$(( (top + bottom - lh) / 2 ))" \
        -composite "$file"
}

# The 32-pixel icon keeps 16 colours: transparent, the card colours and a
# ramp from navy to white for the letter's smoothed edges.
icon_draw 32 "$tmp/icon32.png"
palette=(xc:none xc:white "xc:$navy" "xc:$maroon" 'xc:#5a5aa8' 'xc:#ececf6' 'xc:#b46a6a')
for t in 1 2 3 4 5 6 7 8 9; do
    palette+=("xc:rgb($(( 255 * t / 10 )),$(( 255 * t / 10 )),$(( 128 + 127 * t / 10 )))")
done
convert "${palette[@]}" +append "$tmp/palette.png"
convert "$tmp/icon32.png" -dither None -remap "$tmp/palette.png" -strip \
    -define png:bit-depth=4 -define png:color-type=3 \
    -define png:exclude-chunks=date,time PNG8:"$out/fichelia.png"

for n in 16 24 48 64 128 256; do
    icon_draw "$n" "$tmp/icon$n.png"
    convert "$tmp/icon$n.png" -strip -define png:exclude-chunks=date,time PNG32:"$out/fichelia-$n.png"
done

# The Windows program's icon (fichelia.ico, in the .exe's resources): the
# same pictures, 16 to 256 pixels.
convert "$out/fichelia-16.png" "$out/fichelia-24.png" "$out/fichelia.png" "$out/fichelia-48.png" \
    "$out/fichelia-64.png" "$out/fichelia-128.png" "$out/fichelia-256.png" "$out/fichelia.ico"

echo "Pictures written to $out/"
