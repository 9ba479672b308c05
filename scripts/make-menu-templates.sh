#!/usr/bin/env bash
# Draws the menu templates shipped in data/template/: for each look a description file,
# a background, a frame bitmap whose photo window is pure red (transparent) and next and
# previous button bitmaps on pure red. All artwork is made here with ImageMagick; rerun
# after changing a look:  scripts/make-menu-templates.sh [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../data/template}
im=${IM:-convert-im6.q16}
export MAGICK_THREAD_LIMIT=1
mkdir -p "$out"

# Everything drawn onto pure red is drawn without antialiasing, so no reddish fringe
# pixels turn opaque around the transparent parts.
RED='#ff0000'

# colourref <#rrggbb>: the 0x00BBGGRR value in decimal, as template files write colours.
colourref() {
  local hex=${1#\#}
  echo $(( 16#${hex:4:2} * 65536 + 16#${hex:2:2} * 256 + 16#${hex:0:2} ))
}

# write_ini <file> <name> <folder> <frame w h offx offy imgw imgh> <text w h> <colour>
#           <next w h x y> <prev w h x y> <item x,y;title x,y ...>
write_ini() {
  local file=$1 name=$2 folder=$3 fw=$4 fh=$5 ox=$6 oy=$7 iw=$8 ih=$9 tw=${10} th=${11} colour=${12}
  local nw=${13} nh=${14} nx=${15} ny=${16} pw=${17} ph=${18} px=${19} py=${20}
  shift 20
  local items=("$@")
  {
    echo "[General]"
    echo "NAME=$name"
    echo "Folder_name=$folder"
    echo "Bkground_image=background.png"
    echo "Bkground_image_cx=768"
    echo "Bkground_image_cy=576"
    echo "Frame_image=frame.bmp"
    echo "frame_cx=$fw"
    echo "frame_cy=$fh"
    echo "Frame_off_x=$ox"
    echo "Frame_off_y=$oy"
    echo "image_cx=$iw"
    echo "image_cy=$ih"
    echo "Text_cx=$tw"
    echo "Text_cy=$th"
    echo "Items_count=${#items[@]}"
    echo "Next_button=next.bmp"
    echo "next_cx=$nw"
    echo "next_cy=$nh"
    echo "Prev_button=prev.bmp"
    echo "prev_cx=$pw"
    echo "prev_cy=$ph"
    echo
    echo "[COLOR]"
    echo "Text_color=$(colourref "$colour")"
    echo
    echo "[POSITIONS]"
    local n=1 item
    for item in "${items[@]}"; do
      local frame=${item%;*} text=${item#*;}
      printf 'Item_%02d_x=%s\nItem_%02d_y=%s\n' $n "${frame%,*}" $n "${frame#*,}"
      printf 'Text_%02d_x=%s\nText_%02d_y=%s\n' $n "${text%,*}" $n "${text#*,}"
      n=$((n + 1))
    done
    echo "Next_button_x=$nx"
    echo "Next_button_y=$ny"
    echo "Prev_button_x=$px"
    echo "Prev_button_y=$py"
  } > "$file"
}

# arrow_buttons <folder> <w> <h> <draw options for the body> <arrow colour>
# A body shape and a triangle pointing right (next) or left (previous) on red.
arrow_buttons() {
  local folder=$1 w=$2 h=$3 body=$4 arrow=$5
  local cx=$((w / 2)) cy=$((h / 2)) a=$((h / 4))
  eval "$im -size ${w}x${h} xc:'$RED' +antialias $body \
      -fill '$arrow' -draw 'polygon $((cx - a / 2)),$((cy - a)) $((cx + a)),$cy $((cx - a / 2)),$((cy + a))' \
      -type TrueColor BMP3:'$folder/next.bmp'"
  $im "$folder/next.bmp" -flop -type TrueColor BMP3:"$folder/prev.bmp"
}

# ---------------------------------------------------------------------------------------
# Classic: deep blue with a gold rule, gilded frames, cream titles. 4 albums per page.
d=$out/classic; mkdir -p "$d"
$im -size 768x576 gradient:'#0a1a36-#1d4a74' \
    \( -size 768x576 radial-gradient:'#ffffff38-#00000000' \) -compose Over -composite \
    -fill none -stroke '#c9a45c' -strokewidth 2 -draw 'rectangle 20,20 747,555' \
    -strokewidth 1 -draw 'rectangle 26,26 741,549' \
    -alpha off -depth 8 -strip "$d/background.png"
$im -size 248x188 xc:'#c9a45c' +antialias \
    -fill '#e8cf8f' -draw 'rectangle 0,0 247,2' -draw 'rectangle 0,0 2,187' \
    -fill '#8a6a2c' -draw 'rectangle 0,185 247,187' -draw 'rectangle 245,0 247,187' \
    -fill '#3a2a10' -draw 'rectangle 9,9 238,178' \
    -fill "$RED" -draw 'rectangle 12,12 235,175' \
    -type TrueColor BMP3:"$d/frame.bmp"
arrow_buttons "$d" 72 44 "-fill '#c9a45c' -draw 'roundrectangle 0,0 71,43 10,10' -fill '#1d3a5c' -draw 'roundrectangle 3,3 68,40 8,8'" '#f3e6c4'
write_ini "$out/classic.ini" "Classic" classic 248 188 12 12 224 164 248 32 '#f3e6c4' \
    72 44 584 516 72 44 112 516 \
    "112,44;112,238" "408,44;408,238" "112,280;112,474" "408,280;408,474"

# Cinema: near-black stage between red curtains, film-strip frames, gold titles. 6 per page.
d=$out/cinema; mkdir -p "$d"
$im -size 768x576 radial-gradient:'#34343c-#050507' \
    \( -size 60x576 gradient:'#5a0b10-#2a0406' -rotate 0 \) -geometry +0+0 -compose Over -composite \
    \( -size 60x576 gradient:'#5a0b10-#2a0406' \) -geometry +708+0 -compose Over -composite \
    -fill none -stroke '#00000060' -strokewidth 3 \
    -draw 'line 15,0 15,575' -draw 'line 35,0 35,575' -draw 'line 733,0 733,575' -draw 'line 753,0 753,575' \
    -alpha off -depth 8 -strip "$d/background.png"
holes=""
for x in $(seq 6 16 200); do holes+=" rectangle $x,4 $((x + 7)),11 rectangle $x,148 $((x + 7)),155"; done
$im -size 208x160 xc:'#111111' +antialias -fill '#d8d8d0' -draw "$holes" \
    -fill '#2c2c2c' -draw 'rectangle 6,18 201,141' \
    -fill "$RED" -draw 'rectangle 8,20 199,139' \
    -type TrueColor BMP3:"$d/frame.bmp"
arrow_buttons "$d" 72 40 "-fill '#e8c15a' -draw 'roundrectangle 0,0 71,39 9,9' -fill '#111111' -draw 'roundrectangle 2,2 69,37 7,7'" '#e8c15a'
write_ini "$out/cinema.ini" "Cinema" cinema 208 160 8 20 192 120 208 30 '#e8c15a' \
    72 40 648 522 72 40 48 522 \
    "48,56;48,222" "280,56;280,222" "512,56;512,222" "48,292;48,458" "280,292;280,458" "512,292;512,458"

# Family: a sunny sky over green hills, instant-photo frames, navy titles. 4 per page.
d=$out/family; mkdir -p "$d"
$im -size 768x576 gradient:'#7ec8f5-#fff3d2' \
    -fill '#ffd84d' -draw 'circle 680,70 680,120' -fill '#ffe98a80' -draw 'circle 680,70 680,140' \
    -fill '#ffffffc0' -draw 'ellipse 140,70 70,22 0,360' -draw 'ellipse 190,60 50,26 0,360' \
    -draw 'ellipse 430,110 60,18 0,360' \
    -fill '#8cc96b' -draw 'ellipse 180,640 360,150 0,360' -fill '#6fb552' -draw 'ellipse 620,660 330,160 0,360' \
    -alpha off -depth 8 -strip "$d/background.png"
$im -size 232x190 xc:'#fbfbf8' +antialias \
    -fill '#c9c6bd' -draw 'rectangle 0,188 231,189' -draw 'rectangle 230,0 231,189' \
    -fill "$RED" -draw 'rectangle 12,12 219,167' \
    -type TrueColor BMP3:"$d/frame.bmp"
arrow_buttons "$d" 56 56 "-fill '#f08a24' -draw 'circle 27,27 27,1' -fill '#ffffff' -draw 'circle 27,27 27,4' -fill '#f08a24' -draw 'circle 27,27 27,6'" '#ffffff'
write_ini "$out/family.ini" "Family" family 232 190 12 12 208 156 232 30 '#1d3557' \
    56 56 592 504 56 56 120 504 \
    "120,28;120,222" "416,28;416,222" "120,262;120,456" "416,262;416,456"

# Minimal: warm paper white, hairline frames with a white mat, charcoal titles. 6 per page.
d=$out/minimal; mkdir -p "$d"
$im -size 768x576 xc:'#f4f2ee' -fill '#d9d5cc' -draw 'rectangle 64,40 703,41' -draw 'rectangle 64,534 703,535' \
    -alpha off -depth 8 -strip "$d/background.png"
$im -size 200x150 xc:'#333333' +antialias -fill '#ffffff' -draw 'rectangle 2,2 197,147' \
    -fill "$RED" -draw 'rectangle 8,8 191,141' \
    -type TrueColor BMP3:"$d/frame.bmp"
$im -size 48x40 xc:"$RED" +antialias -fill '#333333' \
    -draw 'polygon 18,8 32,20 18,32 15,29 26,20 15,11' -type TrueColor BMP3:"$d/next.bmp"
$im "$d/next.bmp" -flop -type TrueColor BMP3:"$d/prev.bmp"
write_ini "$out/minimal.ini" "Minimal" minimal 200 150 8 8 184 134 200 28 '#333333' \
    48 40 656 490 48 40 64 490 \
    "64,64;64,220" "284,64;284,220" "504,64;504,220" "64,290;64,446" "284,290;284,446" "504,290;504,446"
echo "templates written to $out"
