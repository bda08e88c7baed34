#!/usr/bin/env bash
# Installs what building, running and testing Mendlet need on Debian; installs nothing
# that is already there.
set -euo pipefail

packages=(
  cmake make g++                                # native build of the model and its tests
  g++-mingw-w64-x86-64-posix mingw-w64-tools    # the Windows cross build
  wine wine64                                   # runs the Windows program and its tests
  xvfb xdotool x11-utils x11-apps imagemagick   # a display, input, window lookup, screenshots
  googletest                                    # GoogleTest sources
  clang libclang-rt-dev                         # the fuzz build: clang, libFuzzer and the sanitizer runtimes
  python3                                       # the icon drawing script
  openssl b3sum                                 # the digest benchmark's references (b2sum, md5sum: coreutils)
  cmark-gfm                                     # writes the release zip's user guide as a web page
  par2                                          # makes the real PAR 2.0 sets of the recovery tests
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
