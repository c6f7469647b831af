#!/bin/bash
# Puts the programs of a finished build into a delivery folder with their
# checksums: every .exe of <programs folder>, and SHA256SUMS in the format
# that `sha256sum -c SHA256SUMS` reads. Files are written under temporary
# names and renamed, so the folder never holds a half-copied program.
# Usage: publish.sh <programs folder> <delivery folder>
set -euo pipefail
from=$1
to=$2
mkdir -p -- "$to"
shopt -s nullglob
programs=("$from"/*.exe)
[ ${#programs[@]} -gt 0 ] || { echo "publish.sh: no programs in $from" >&2; exit 1; }
names=()
for program in "${programs[@]}"; do
    name=$(basename -- "$program")
    cp -- "$program" "$to/.$name.part"
    names+=("$name")
done
for name in "${names[@]}"; do mv -f -- "$to/.$name.part" "$to/$name"; done
(cd -- "$to" && sha256sum -- "${names[@]}" >.SHA256SUMS.part && mv -f .SHA256SUMS.part SHA256SUMS)
