# Shell functions that configure and build the trees: native (sanitizers), Valgrind, and per
# edition a MinGW tree with the tests and a Release tree for the package. Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
native_dir="$root/build/native"
valgrind_dir="$root/build/valgrind"
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

# The editions: x86 (i686, the default one users get) and x64 (x86_64).
editions=(x86 x64)

# mingw_dir_of <edition>, release_dir_of <edition>, toolchain_of <edition>
mingw_dir_of() { if [ "$1" = x64 ]; then echo "$root/build/mingw64"; else echo "$root/build/mingw"; fi; }
release_dir_of() { if [ "$1" = x64 ]; then echo "$root/build/release64"; else echo "$root/build/release"; fi; }
toolchain_of() { if [ "$1" = x64 ]; then echo "$root/cmake/mingw-x86_64.cmake"; else echo "$root/cmake/mingw-i686.cmake"; fi; }

# configure_mingw <edition>: configures that edition's MinGW tree (with the tests).
configure_mingw() {
  cmake -S "$root" -B "$(mingw_dir_of "$1")" --toolchain "$(toolchain_of "$1")" "${launcher[@]}" >/dev/null
}

# build_mingw <edition> [targets...]: the whole MinGW tree of that edition, or those targets.
build_mingw() {
  local edition=$1
  shift
  configure_mingw "$edition"
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$(mingw_dir_of "$edition")" -j"$jobs" "${targets[@]}"
}

# The native tests once more, without sanitizers, to run under Valgrind's memcheck.
build_valgrind() {
  cmake -S "$root" -B "$valgrind_dir" "${launcher[@]}" -DCMAKE_BUILD_TYPE=Debug -DTLV_VALGRIND=ON >/dev/null
  cmake --build "$valgrind_dir" -j"$jobs"
}

# build_package <edition>: the release package's tree of that edition (MinGW, Release flags,
# no tests); builds only the packages: release_msi makes the folder and zip (release_package)
# first, then the MSI from that folder.
build_package() {
  local dir
  dir=$(release_dir_of "$1")
  cmake -S "$root" -B "$dir" --toolchain "$(toolchain_of "$1")" "${launcher[@]}" \
    -DCMAKE_BUILD_TYPE=Release -DTLV_TESTS=OFF -DTLV_THREAD_MODEL=win32 >/dev/null
  cmake --build "$dir" --target release_msi -j"$jobs"
}

# write_checksums: dist/SHA256SUMS, the SHA-256 of every package and script in dist/, in the
# form `sha256sum -c` reads.
write_checksums() {
  (cd "$root/dist" && sha256sum -- *.msi *.zip *.cmd *.ps1 >SHA256SUMS.new && mv SHA256SUMS.new SHA256SUMS)
}

# make_test_certificate: a throwaway self-signed code-signing certificate in build/signing/
# (never committed), named by SIGN_PFX and SIGN_PASSWORD for the packages the tests build and
# check; build/signing/cert.pem is the authority the signature checks trust.
make_test_certificate() {
  local dir="$root/build/signing" password
  mkdir -p "$dir" && chmod 700 "$dir"
  password=$(openssl rand -hex 16)
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=TlvAsService throwaway test certificate" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$dir/key.pem" -out "$dir/cert.pem" 2>/dev/null
  openssl pkcs12 -export -inkey "$dir/key.pem" -in "$dir/cert.pem" -out "$dir/test.pfx" -passout "pass:$password"
  export SIGN_PFX="$dir/test.pfx" SIGN_PASSWORD="$password"
}
