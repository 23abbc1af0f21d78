#!/usr/bin/env bash
# Makes the release archive OUT_DIR/Tavrel-<version>-win64.zip from built
# binaries; the package target runs it (cmake/Packaging.cmake).
# Usage: make-archive.sh OUT_DIR SOURCE_DIR VERSION STRIP TAVREL_DLL HOST_EXE JORVEX_DLL QUENNET_DLL
#            [--sign PFX [--timestamp URL]]
#
# The same inputs give the same archive, byte for byte: the binaries' PE
# header time and every entry's time are the commit's (SOURCE_DATE_EPOCH when
# set), permissions are fixed, and the entries go in in one order, without
# the extra fields that hold owners and access times.
#
# --sign signs Tavrel.dll and tavrel-host.exe (Authenticode, SHA-256) with the
# certificate and key of a PKCS#12 file, whose password is read from
# TAVREL_SIGNING_PASSWORD. The signing time is the commit's time too, so the
# same certificate signs to the same bytes; a time stamp from a server
# (--timestamp) is new each time.
set -euo pipefail
if [ $# -lt 8 ]; then
    echo "usage: $0 OUT_DIR SOURCE_DIR VERSION STRIP TAVREL_DLL HOST_EXE JORVEX_DLL QUENNET_DLL [--sign PFX [--timestamp URL]]" >&2
    exit 2
fi
out=$1 source=$2 version=$3 strip=$4 plugin=$5 host=$6 jorvex=$7 quennet=$8
shift 8
pfx="" timestamp_url=""
while [ $# -gt 0 ]; do
    case $1 in
        --sign) pfx=$2; shift 2 ;;
        --timestamp) timestamp_url=$2; shift 2 ;;
        *) echo "make-archive.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

command -v zip >/dev/null || { echo "make-archive.sh: zip is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
root=Tavrel-$version-win64
archive=$root.zip
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct 2>/dev/null || true)}
if [ -z "$epoch" ]; then
    # Neither a commit nor SOURCE_DATE_EPOCH: the earliest time a zip entry holds.
    epoch=315532800
    echo "$archive: no commit time (not a git checkout) and no SOURCE_DATE_EPOCH; entries dated 1980-01-01"
fi

# strip writes a PE header time of its own: the commit's.
export SOURCE_DATE_EPOCH=$epoch

# A failed run leaves no archive behind, not even an older one.
rm -f "$out/$archive" "$out/$archive.sha256"
stage=$out/packaging/stage
rm -rf "$stage"
mkdir -p "$stage/$root/standins"
top=$stage/$root
# Neither debug sections nor the symbol table ship: they hold our internal
# names and build paths, and the loader reads neither (the build folder keeps
# both). Without the symbol table a file ends on a section boundary, so a
# signature goes on without padding and removing it gives these bytes back.
"$strip" --strip-all -o "$top/Tavrel.dll" "$plugin"
"$strip" --strip-all -o "$top/tavrel-host.exe" "$host"
"$strip" --strip-all -o "$top/standins/Jorvex.dll" "$jorvex"
"$strip" --strip-all -o "$top/standins/Quennet.dll" "$quennet"
cp "$source/README.md" "$top/README.md"
cp "$source/packaging/STANDINS.txt" "$top/standins/README.txt"

# sign FILE: signs FILE in place; fails with osslsigncode's status.
sign() {
    local options=(-pkcs12 "$pfx" -h sha256 -n Tavrel -time "$epoch")
    [ -z "$timestamp_url" ] || options+=(-ts "$timestamp_url")
    rm -f "$1.signed"
    # The password reaches osslsigncode through a pipe of this shell's own
    # (printf is a builtin), never on a command line that ps shows.
    if [ -n "${TAVREL_SIGNING_PASSWORD:-}" ]; then
        osslsigncode sign "${options[@]}" -readpass <(printf '%s' "$TAVREL_SIGNING_PASSWORD") \
            -in "$1" -out "$1.signed" || return
    else
        osslsigncode sign "${options[@]}" -in "$1" -out "$1.signed" || return
    fi
    mv "$1.signed" "$1"
}

if [ -n "$pfx" ]; then
    signed="Tavrel.dll and tavrel-host.exe (Authenticode, SHA-256); not the stand-ins"
    for file in Tavrel.dll tavrel-host.exe; do
        if ! sign "$top/$file" >"$stage/sign.log" 2>&1; then
            cat "$stage/sign.log" >&2
            echo "make-archive.sh: cannot sign $file with $pfx (its password comes from TAVREL_SIGNING_PASSWORD)" >&2
            exit 1
        fi
    done
    rm -f "$stage/sign.log"
    echo "$archive: Tavrel.dll and tavrel-host.exe signed with $pfx"
else
    signed="none: this archive was built without a signing certificate"
    echo "$archive: not signed (configure with -DTAVREL_SIGNING_PFX=FILE to sign)"
fi

notes=$(<"$source/packaging/FILES.txt")
notes=${notes//@PROJECT_VERSION@/$version}
printf '%s\n' "${notes//@SIGNED_FILES@/$signed}" >"$top/FILES.txt"

(cd "$top" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum) >"$stage/SHA256SUMS"
mv "$stage/SHA256SUMS" "$top/SHA256SUMS"

# What unzip on Linux restores; Windows ignores it.
find "$top" -type d -exec chmod 755 {} +
find "$top" -type f -exec chmod 644 {} +
chmod 755 "$top"/*.dll "$top"/*.exe "$top"/standins/*.dll
find "$top" -exec touch -d "@$epoch" {} +
# zip writes local times: UTC makes them the same everywhere. -X leaves out
# the owner and access-time fields.
rm -f "$stage/$archive"
(cd "$stage" && find "$root" | LC_ALL=C sort | TZ=UTC zip -X -q -@ "$archive")
mv "$stage/$archive" "$out/$archive"
(cd "$out" && sha256sum "$archive") >"$out/$archive.sha256"
echo "$archive SHA-256 $(cut -d' ' -f1 "$out/$archive.sha256")"
