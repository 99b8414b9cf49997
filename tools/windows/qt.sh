#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qt6-base source package, once,
# into a cache folder outside the clone, and prints the folder it installed
# to. Later runs with the same Qt version, compiler and options print the
# cached folder at once.
#
#   TAVRIN_WIN_QT_CACHE  where the builds are kept (default
#                        /var/cache/tavrin/qt-win when writable, else
#                        ~/.cache/tavrin/qt-win)
#   TAVRIN_JOBS          parallel compile jobs (default 2)
#
# Only the modules and features the panel and its tests use are built: Core,
# Gui, Widgets, Network (TLS through Windows' own Schannel) and Test, the
# Windows platform plugin and the Vista style, and the offscreen platform
# the tests draw on (it needs Qt's bundled FreeType). The host's moc, rcc and uic
# (Debian's qt6-base-dev, which must be the same version) do the build-time
# work, so the source package must match the host's Qt exactly.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
toolchain=$here/mingw-w64.cmake
jobs=${TAVRIN_JOBS:-2}

default_cache=/var/cache/tavrin/qt-win
if ! mkdir -p "$default_cache" 2>/dev/null || [ ! -w "$default_cache" ]; then
  default_cache=${XDG_CACHE_HOME:-$HOME/.cache}/tavrin/qt-win
fi
cache=${TAVRIN_WIN_QT_CACHE:-$default_cache}
mkdir -p "$cache"

host_qt=$(dpkg-query -W -f '${Version}' qt6-base-dev)
compiler=x86_64-w64-mingw32-g++-posix
compiler_version=$($compiler -dumpfullversion)

# Everything the panel does not use is left out: each is a part of Qt the
# build would otherwise compile. The program's sources name every Qt class
# they use; none of these appear there.
options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
  # Windows' own TLS; OpenSSL has no mingw build in Debian.
  -DFEATURE_openssl=OFF
  -DFEATURE_schannel=ON
  # Bundled third-party code rather than the (Linux) system's.
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_freetype=OFF
  -DFEATURE_system_png=OFF
  -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_zstd=OFF
  # Whole modules nobody links.
  -DFEATURE_sql=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_printsupport=OFF
  # No GPU drawing: the panel paints with the raster engine.
  -DFEATURE_opengl=OFF
  -DINPUT_opengl=no
  -DFEATURE_vulkan=OFF
  -DFEATURE_direct2d=OFF
  # Text through GDI: Qt 6.4 builds its DirectWrite font database only with
  # Direct2D, while the Windows platform plugin asks for it whenever
  # DirectWrite is on, and would not link.
  -DFEATURE_directwrite=OFF
  -DFEATURE_directwrite3=OFF
  # Document and image formats the panel never reads or writes.
  -DFEATURE_pdf=OFF
  -DFEATURE_textodfwriter=OFF
  -DFEATURE_textmarkdownreader=OFF
  -DFEATURE_textmarkdownwriter=OFF
  -DFEATURE_movie=OFF
  -DFEATURE_gif=OFF
  -DFEATURE_jpeg=OFF
  # Widgets no window of the panel shows.
  -DFEATURE_graphicsview=OFF
  -DFEATURE_mdiarea=OFF
  -DFEATURE_colordialog=OFF
  -DFEATURE_fontdialog=OFF
  -DFEATURE_wizard=OFF
  -DFEATURE_lcdnumber=OFF
  -DFEATURE_dial=OFF
  -DFEATURE_columnview=OFF
  -DFEATURE_undoview=OFF
  -DFEATURE_keysequenceedit=OFF
  -DFEATURE_fontcombobox=OFF
  -DFEATURE_splashscreen=OFF
  -DFEATURE_toolbox=OFF
  -DFEATURE_commandlinkbutton=OFF
  -DFEATURE_syntaxhighlighter=OFF
  -DFEATURE_datawidgetmapper=OFF
  -DFEATURE_errormessage=OFF
  # Network parts no socket of the panel uses.
  -DFEATURE_sctp=OFF
  -DFEATURE_dtls=OFF
  -DFEATURE_ocsp=OFF
  -DFEATURE_localserver=OFF
  -DFEATURE_dnslookup=OFF
  -DFEATURE_brotli=OFF
  -DFEATURE_networklistmanager=OFF
  -DFEATURE_gssapi=OFF
  # Debian's source package leaves out the Wintab headers the tablet
  # support of the Windows platform plugin needs; the panel takes no pen.
  -DFEATURE_tabletevent=OFF
)

key=$host_qt-gcc$compiler_version-$(printf '%s\n' "${options[@]}" | cat - "$toolchain" | sha256sum | cut -c1-12)
prefix=$cache/$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi
work=$cache/build-$key

# Debian's source package through a source list of our own (the system's
# apt configuration stays as it is), configured for Windows.
fetch_and_configure() {
  rm -rf "$work" "$prefix"
  mkdir -p "$work"
  local apt_dir=$work/apt
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$apt_dir/parts/src.sources"
  local apt_options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/parts"
                     -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
  apt-get "${apt_options[@]}" update -qq >&2
  (cd "$work" && apt-get "${apt_options[@]}" source -qq "qt6-base=$host_qt" >&2)
  local source_dir
  source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
  cmake -S "$source_dir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${options[@]}" >&2
}

build_and_install() {
  cmake --build "$work/build" -j"$jobs" >&2 && cmake --install "$work/build" >&2
}

# A build that was stopped (a machine shut down, a run cut short) goes on
# where it stopped. One that fails says so and keeps what it built: a
# fresh start would only meet the same failure half an hour later.
if [ ! -f "$work/build/build.ninja" ]; then
  fetch_and_configure
fi
build_and_install
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
