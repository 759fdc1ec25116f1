#!/usr/bin/env bash
# Configures a preset of CMakePresets.json into a scratch folder and builds
# one small target there, so that a preset that no longer configures or
# compiles is found by the tests and not by the next person who uses it.
# usage: preset_check.sh SOURCE PRESET FOLDER TARGET
set -euo pipefail
source=$1 preset=$2 folder=$3 target=$4
rm -rf "$folder"
cd "$source"
cmake --preset "$preset" -B "$folder" >"$folder.log" 2>&1 || { cat "$folder.log"; exit 1; }
cmake --build "$folder" --target "$target" >>"$folder.log" 2>&1 || { cat "$folder.log"; exit 1; }
echo "preset $preset: configured and built $target"
rm -rf "$folder" "$folder.log"
