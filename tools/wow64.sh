#!/bin/bash
# Makes 64-bit Wine run 32-bit Windows programs the way 64-bit Windows does,
# in its own WoW64 mode: Wine's i386 Windows DLLs of the installed Wine's
# version, taken from Debian's libwine:i386 without installing it (installing
# it would switch dozens of installed amd64 packages), unpacked into <folder>.
#
# Usage: tools/wow64.sh <folder>
# Afterwards <folder>/dlls is the folder for WINEDLLPATH, with two links:
#   i386-windows -> the unpacked i386 DLLs
#   x86_64-unix  -> the installed Wine's Unix libraries (without them a 32-bit
#                   process cannot initialise ws2_32.dll)
# The package is downloaded once per version with an apt state of its own in
# <folder>/apt, and unpacked again only when the version changed. A prefix
# for 32-bit programs needs WINEDLLPATH already when wineboot makes it, so that
# syswow64 is filled: see qf_wow64_env in tools/common.sh.
set -euo pipefail
folder=${1:?usage: tools/wow64.sh <folder>}
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)

unix_libs=/usr/lib/x86_64-linux-gnu/wine/x86_64-unix
version=$(dpkg-query -W -f='${Version}' libwine:amd64 2>/dev/null || true)
if [ -z "$version" ] || [ ! -d "$unix_libs" ]; then
  echo "wow64.sh: the 64-bit Wine (libwine:amd64) is not installed" >&2
  exit 1
fi
# The file name that apt gives the package (an epoch's colon becomes %3a).
deb="$folder/libwine_${version//:/%3a}_i386.deb"
stamp="$folder/unpacked.version"

if [ ! -s "$deb" ]; then
  apt_options=(-q -o APT::Architectures::=amd64 -o APT::Architectures::=i386
    -o Dir::State::Lists="$folder/apt/lists" -o Dir::Cache::Archives="$folder/apt/archives"
    -o APT::Sandbox::User=root)
  mkdir -p "$folder/apt/lists/partial" "$folder/apt/archives/partial"
  echo "WoW64: downloading libwine:i386 $version"
  apt-get "${apt_options[@]}" update >/dev/null
  # Downloaded aside and moved into place whole, so that an interrupted
  # download is never taken for the package.
  rm -rf "$folder/apt/download" "$folder"/libwine_*_i386.deb
  mkdir -p "$folder/apt/download"
  (cd "$folder/apt/download" && apt-get "${apt_options[@]}" download "libwine:i386=$version" >/dev/null)
  mv "$folder/apt/download/$(basename "$deb")" "$deb" 2>/dev/null || true
  if [ ! -s "$deb" ]; then
    echo "wow64.sh: libwine:i386 $version was not downloaded (not in the package lists?)" >&2
    exit 1
  fi
fi

if [ "$(cat "$stamp" 2>/dev/null)" != "$version" ] || [ ! -d "$folder/root/usr/lib/i386-linux-gnu/wine/i386-windows" ]; then
  echo "WoW64: unpacking libwine:i386 $version"
  rm -rf "$folder/root" "$stamp"
  dpkg-deb -x "$deb" "$folder/root"
  echo "$version" >"$stamp"
fi

mkdir -p "$folder/dlls"
ln -sfn "$folder/root/usr/lib/i386-linux-gnu/wine/i386-windows" "$folder/dlls/i386-windows"
ln -sfn "$unix_libs" "$folder/dlls/x86_64-unix"
