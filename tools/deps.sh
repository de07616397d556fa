#!/usr/bin/env bash
# Installs what Quillbay needs on Debian 12 (run as root).
#   deps.sh game   what building, packaging and playing needs
#   deps.sh test   that, plus the test tools (the default)
set -eu
what=${1:-test}
packages=(build-essential cmake pkg-config liballegro4-dev libstb-dev python3 dpkg-dev ccache)
if [ "$what" = test ]; then
    packages+=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xdotool imagemagick x11-utils x11-apps desktop-file-utils appstream groff-base)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
