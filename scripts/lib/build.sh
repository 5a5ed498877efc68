# Shell functions that configure and build the two trees. Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
native_dir="$root/build/native"
mingw_dir="$root/build/mingw"
valgrind_dir="$root/build/valgrind"
release_dir="$root/build/release"
jobs=$(nproc 2>/dev/null || echo 2)
# Every tree compiles through ccache, whose cache stays in the checkout's build folder: a
# second run rebuilds only what changed, whichever tree it is.
export CCACHE_DIR="$root/build/ccache"
export CCACHE_BASEDIR="$root"
launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

build_native() {
  cmake -S "$root" -B "$native_dir" "${launcher[@]}" -DTLV_SANITIZE=ON >/dev/null
  cmake --build "$native_dir" -j"$jobs"
}

build_mingw() {
  cmake -S "$root" -B "$mingw_dir" --toolchain "$root/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$mingw_dir" -j"$jobs"
}

# The native tests once more, without sanitizers, to run under Valgrind's memcheck.
build_valgrind() {
  cmake -S "$root" -B "$valgrind_dir" "${launcher[@]}" -DCMAKE_BUILD_TYPE=Debug -DTLV_VALGRIND=ON >/dev/null
  cmake --build "$valgrind_dir" -j"$jobs"
}

# The release package's tree: MinGW, Release flags, no tests; builds only the package.
build_package() {
  cmake -S "$root" -B "$release_dir" --toolchain "$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTLV_TESTS=OFF >/dev/null
  cmake --build "$release_dir" --target release_package -j"$jobs"
}
