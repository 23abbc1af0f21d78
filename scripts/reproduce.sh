#!/usr/bin/env bash
# Builds the release archive of the current commit twice, each from a fresh
# clone in a folder of its own (the second with a space in its path), at
# different times, with a different umask, time zone and locale, and compares
# the two archives, every file in them and the unstripped binaries of the
# build folders. Prints the files that differ and exits non-zero when any do.
#   scripts/reproduce.sh                       the unsigned archive
#   scripts/reproduce.sh -DTAVREL_SIGNING_PFX=/secure/cert.pfx   signed (the
#                                              password in TAVREL_SIGNING_PASSWORD)
# Only the commit is built: uncommitted changes are not part of it.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
commit=$(git rev-parse HEAD)
[ -z "$(git status --porcelain --untracked-files=no)" ] || echo "reproduce: uncommitted changes are left out; building $commit"
version=$(sed -n 's/^project(Tavrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
archive=Tavrel-$version-win64.zip

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-reproduce.XXXXXX")
trap 'rm -rf "$work"' EXIT
started=$(date +%s)

# build FOLDER [CMAKE_OPTION...]: clone, configure with the release preset
# (no tests, no benchmarks) and make only the archive.
build() {
    local folder=$1
    shift
    mkdir -p "$folder"
    git clone -q --no-checkout "$repo" "$folder/src"
    git -C "$folder/src" checkout -q "$commit"
    if ! (cd "$folder/src" &&
        nice cmake --preset mingw -DTAVREL_BUILD_TESTS=OFF -DTAVREL_BUILD_BENCH=OFF "$@" &&
        nice cmake --build --preset mingw --target package) >"$folder/build.log" 2>&1; then
        tail -n 30 "$folder/build.log"
        echo "reproduce: the build in $folder failed"
        exit 1
    fi
    mkdir "$folder/unpacked"
    (cd "$folder/unpacked" && cmake -E tar xf "../src/build/$archive")
}

first=$work/first
second="$work/second build/with a space"
(umask 022 && TZ=UTC LC_ALL=C build "$first" "$@")
(umask 002 && TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 build "$second" "$@")

differ=0
while IFS= read -r file; do
    if ! cmp -s "$first/unpacked/$file" "$second/unpacked/$file"; then
        echo "differs: $file"
        differ=1
    fi
done < <({ find "$first/unpacked" -type f -printf '%P\n' && find "$second/unpacked" -type f -printf '%P\n'; } | LC_ALL=C sort -u)
if ! cmp -s "$first/src/build/$archive" "$second/src/build/$archive"; then
    echo "differs: $archive"
    differ=1
fi
# The unstripped binaries the build folder keeps for debugging match too.
for file in Tavrel.dll tavrel-host.exe Jorvex.dll Quennet.dll; do
    if ! cmp -s "$first/src/build/bin/$file" "$second/src/build/bin/$file"; then
        echo "differs: build/bin/$file (unstripped)"
        differ=1
    fi
done
elapsed=$(($(date +%s) - started))
if [ $differ -ne 0 ]; then
    echo "reproduce: two builds of $commit differ (${elapsed} s)"
    exit 1
fi
echo "reproduce: two builds of $commit give the same $archive," \
    "SHA-256 $(sha256sum "$first/src/build/$archive" | cut -d' ' -f1) (${elapsed} s)"
