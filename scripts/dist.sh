#!/usr/bin/env bash
# Makes the release archives in build/dist from the release builds build/release, build/windows
# and build/windows64, with their SHA-256 sums, then checks each as its users meet it: unpacked in
# a fresh folder, host programs (among them the complete host of docs/host-api.md) build against it
# and run.
#   regscript-VERSION-linux-ARCH.tar.gz  the installed tree of the Linux library
#   regscript-VERSION-windows.zip        x86/ and x64/, each an installed tree of the DLL (bin/,
#                                        lib/ with regscript.lib, regscript.dll.a, regscript.def,
#                                        include/), the documents and the Windows host example
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^#define REGSCRIPT_VERSION_STRING "\(.*\)"$/\1/p' include/regscript.h)
dist=$PWD/build/dist
linux=regscript-$version-linux-$(uname -m)
windows=regscript-$version-windows

make_archives() {
  rm -rf "$dist"
  mkdir -p "$dist/stage/$windows"
  cmake --install build/release --prefix "$dist/stage/$linux" >/dev/null
  tar -C "$dist/stage" -czf "$dist/$linux.tar.gz" "$linux"

  cmake --install build/windows --prefix "$dist/stage/$windows/x86" >/dev/null
  cmake --install build/windows64 --prefix "$dist/stage/$windows/x64" >/dev/null
  cp -r README.md docs "$dist/stage/$windows"
  mkdir "$dist/stage/$windows/examples"
  cp examples/windows_host.c "$dist/stage/$windows/examples"
  (cd "$dist/stage" && zip -qr "$dist/$windows.zip" "$windows")

  (cd "$dist" && sha256sum "$linux.tar.gz" "$windows.zip" >SHA256SUMS)
  rm -rf "$dist/stage"
}

# Builds the example with ARCH's MinGW-w64 compiler against the unpacked tree and runs it with
# WINE in the Wine prefix of the build PRESET.
check_windows_example() {
  local arch=$1 compiler=$2 wine=$3 preset=$4 tree=$dist/check/$windows
  "$compiler" -Wall -Werror "$tree/examples/windows_host.c" -I "$tree/$arch/include" -L "$tree/$arch/lib" \
    -lregscript -o "$tree/$arch/bin/windows_host.exe"
  WINEDEBUG=-all WINEPREFIX=$PWD/build/$preset/wine "$wine" "$tree/$arch/bin/windows_host.exe" |
    grep -q 'double price = 7.5'
}

# The complete host of docs/host-api.md, as the documents' test extracts it: built with only the
# unpacked Linux tree and run; its declarations compiled against each Windows tree's headers.
check_documented_host() {
  local code=$dist/check/documented-host tree=$dist/check/$linux libdir
  mkdir -p "$code"
  build/release/tests/docs/extract_host_code docs/host-api.md "$code" >/dev/null
  libdir=$(dirname "$(find "$tree" -name libregscript.so | head -n 1)")
  cc -Wall -Werror "$code/host_program.c" -I "$tree/include" -L "$libdir" -lregscript -Wl,-rpath,"$libdir" \
    -o "$code/host_program"
  "$code/host_program" | grep -qx 'note after delete_variable: type -1'
  i686-w64-mingw32-gcc -Wall -Werror -c "$code/declarations.c" -I "$dist/check/$windows/x86/include" -o "$code/x86.o"
  x86_64-w64-mingw32-gcc -Wall -Werror -c "$code/declarations.c" -I "$dist/check/$windows/x64/include" -o "$code/x64.o"
}

check_archives() {
  (cd "$dist" && sha256sum --quiet -c SHA256SUMS)
  rm -rf "$dist/check"
  mkdir -p "$dist/check"
  tar -C "$dist/check" -xzf "$dist/$linux.tar.gz"
  unzip -q "$dist/$windows.zip" -d "$dist/check"

  cmake -S tests/packaging/consumer -B "$dist/check/consumer" -DCMAKE_PREFIX_PATH="$dist/check/$linux" \
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >/dev/null
  cmake --build "$dist/check/consumer" >/dev/null
  "$dist/check/consumer/consumer" | grep -qx 'consumer: ok'
  check_documented_host

  check_windows_example x86 i686-w64-mingw32-gcc wine windows
  check_windows_example x64 x86_64-w64-mingw32-gcc /usr/lib/wine/wine64 windows64
  rm -rf "$dist/check"
}

make_archives
check_archives
ls -l "$dist"
