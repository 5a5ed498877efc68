# Shell functions that configure and build the two trees. Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
native_dir="$root/build/native"
mingw_dir="$root/build/mingw"
valgrind_dir="$root/build/valgrind"
jobs=$(nproc 2>/dev/null || echo 2)

build_native() {
  cmake -S "$root" -B "$native_dir" -DTLV_SANITIZE=ON >/dev/null
  cmake --build "$native_dir" -j"$jobs"
}

build_mingw() {
  cmake -S "$root" -B "$mingw_dir" --toolchain "$root/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$mingw_dir" -j"$jobs"
}

# The native tests once more, without sanitizers, to run under Valgrind's memcheck.
build_valgrind() {
  cmake -S "$root" -B "$valgrind_dir" -DCMAKE_BUILD_TYPE=Debug -DTLV_VALGRIND=ON >/dev/null
  cmake --build "$valgrind_dir" -j"$jobs"
}
