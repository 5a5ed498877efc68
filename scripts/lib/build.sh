# Shell functions that configure and build the two trees. Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
native_dir="$root/build/native"
mingw_dir="$root/build/mingw"
jobs=$(nproc 2>/dev/null || echo 2)

build_native() {
  cmake -S "$root" -B "$native_dir" -DTLV_SANITIZE=ON >/dev/null
  cmake --build "$native_dir" -j"$jobs"
}

build_mingw() {
  cmake -S "$root" -B "$mingw_dir" --toolchain "$root/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$mingw_dir" -j"$jobs"
}
