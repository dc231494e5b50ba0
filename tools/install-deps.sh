#!/usr/bin/env bash
# Installs the Debian packages a build needs, quietly, and only those that
# are missing (so it costs a fraction of a second when all are there).
# Usage: tools/install-deps.sh GROUP...   (groups: base windows fuzz bench)
set -euo pipefail

declare -A GROUP_PACKAGES=(
  [base]="g++ cmake make libgtest-dev libgmock-dev libedit-dev python3"
  [windows]="g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 wine32:i386"
  [fuzz]="clang libclang-rt-14-dev python3-html5lib"
  [bench]="libbenchmark-dev fortunes fortunes-min pkg-config libglib2.0-dev libcurl4-openssl-dev python3-smartypants nodejs"
  [unicode]="unicode-data"
)

wanted=()
for group in "$@"; do
  [[ -n "${GROUP_PACKAGES[$group]:-}" ]] || { echo "install-deps: unknown group $group" >&2; exit 2; }
  for pkg in ${GROUP_PACKAGES[$group]}; do
    # The status of an installed package ends in "installed".
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q ' installed$'; then
      wanted+=("$pkg")
    fi
  done
done

# The benchmark's JavaScript peers need npm: a Node.js from elsewhere
# brings its own, Debian's nodejs needs Debian's npm.
if [[ " $* " == *" bench "* ]] && ! command -v npm >/dev/null; then
  wanted+=(npm)
fi

((${#wanted[@]} == 0)) && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "install-deps: missing packages ${wanted[*]}; run as root to install them" >&2
  exit 1
fi
echo "install-deps: installing ${wanted[*]}"
export DEBIAN_FRONTEND=noninteractive
# wine's 32-bit half, which runs the x86 module, is a package of the
# i386 architecture.
if [[ " ${wanted[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${wanted[@]}" >/dev/null
