#!/usr/bin/env bash
# Rebuilds the shipped skins' images and .tsk files from tools/skingen/skingen.cpp.
# The output is the same on every run; commit it with the generator.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$root/build/tools"
g++ -std=c++20 -O2 -Wall -Wextra -I"$root/src" \
  -o "$root/build/tools/skingen" "$root/tools/skingen/skingen.cpp"
"$root/build/tools/skingen" "$root/Skins"
echo "skingen: wrote $root/Skins/Default and $root/Skins/Branch"
