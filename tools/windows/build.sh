#!/usr/bin/env bash
# Builds the Windows installer on Debian 12, in one command:
#
#   tools/windows/build.sh [BUILD_DIR]      (default: build-windows)
#
# Qt for Windows comes from tools/windows/qt.sh (built from Debian's qt6-base
# source package once, then taken from its cache); the panel and its tests
# are cross-built with mingw-w64; the installer and the zip land in
# BUILD_DIR as tavrin-VERSION-win64-setup.exe and tavrin-VERSION-win64.zip.
# ctest --test-dir BUILD_DIR runs the tests through Wine.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:-build-windows}
qt=$("$source_dir/tools/windows/qt.sh")
cmake -S "$source_dir" -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/tools/windows/mingw-w64.cmake" \
  -DCMAKE_PREFIX_PATH="$qt" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
cmake --build "$build_dir" -j"${TAVRIN_JOBS:-2}"
cmake --build "$build_dir" --target windows_installer
