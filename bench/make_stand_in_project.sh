#!/usr/bin/env bash
# Makes a scratch copy of a project's layout (its Data linked, not copied) with stand-in
# pictures for every tileset, autotile, panorama, fog and character sheet that its maps
# name, so that drawing it does real work even when the project ships no Graphics.
# Usage: make_stand_in_project.sh PROJECT_FOLDER OUT_FOLDER
set -euo pipefail
src=$1 out=$2
[ -f "$out/.done" ] && exit 0
rm -rf "$out" && mkdir -p "$out/Graphics"
ln -sfn "$(cd "$src" && pwd)/Data" "$out/Data"
cp "$src/Game.ini" "$out/" && echo "RPGXP 1.02" > "$out/Game.rxproj"
seeds="$out/.seeds" && mkdir -p "$seeds"
# The bundled sample's own pixel art, so that pictures compress like real ones; the
# tileset is repeated down to 256 rows of tiles so that every tile id shows something.
art="$(cd "$(dirname "$0")/../sample/Project/Graphics" && pwd)"
convert -size 256x8192 "tile:$art/Tilesets/sample_tiles.png" -depth 8 "$seeds/tileset.png"
cp "$art/Autotiles/water.png" "$seeds/autotile.png"
cp "$art/Characters/hero.png" "$seeds/character.png"
cp "$art/Panoramas/Sky.png" "$seeds/panorama.png"
cp "$art/Fogs/Mist.png" "$seeds/fog.png"
folder() {
  case $1 in tileset) echo Tilesets ;; autotile) echo Autotiles ;; panorama) echo Panoramas ;;
    fog) echo Fogs ;; character) echo Characters ;; esac
}
ruby "$(dirname "$0")/stand_in_graphics.rb" "$src/Data" | while IFS=$'\t' read -r kind name; do
  target="$out/Graphics/$(folder "$kind")/${name//\\//}.png"
  mkdir -p "$(dirname "$target")"
  cp "$seeds/$kind.png" "$target"
done
touch "$out/.done"
