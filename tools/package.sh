#!/usr/bin/env bash
# Installs what is missing, builds the game for release in build-package/
# and makes a Debian package of it with CPack (its dependencies computed
# from the programs' libraries); prints the package's path last. Install it
# with: apt-get install ./build-package/quillbay_*.deb
set -eu
cd "$(dirname "$0")/.."
bash tools/deps.sh game
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
fi
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DQB_TESTS=OFF -DQB_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-package -j"$(nproc)" >build-package/build.log || { cat build-package/build.log; exit 1; }
rm -f build-package/quillbay_*.deb
(cd build-package && cpack -G DEB >cpack.log 2>&1) || { cat build-package/cpack.log; exit 1; }
ls "$PWD"/build-package/quillbay_*.deb
