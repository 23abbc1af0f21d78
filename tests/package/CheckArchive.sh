#!/usr/bin/env bash
# Makes the release archive, unpacks it and checks what it holds: the
# shipped files at the top, the stand-ins apart, checksums that hold, no debug
# sections, and a host that runs from the unpacked folder and names the
# digest of the plug-in it loaded.
# Usage: CheckArchive.sh BUILD_DIR VERSION OBJDUMP WINE_RUN PREFIX
set -euo pipefail
build=$1 version=$2 objdump=$3 wine_run=$4 prefix=$5
root=Tavrel-$version-win64

cmake --build "$build" --target package >"$build/package-check.log" 2>&1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$build/$root.zip")

expected="$root/FILES.txt
$root/README.md
$root/SHA256SUMS
$root/Tavrel.dll
$root/standins/Jorvex.dll
$root/standins/Quennet.dll
$root/standins/README.txt
$root/tavrel-host.exe"
actual=$(cd "$work" && find "$root" -type f | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    printf 'archive holds:\n%s\nexpected:\n%s\n' "$actual" "$expected"
    exit 1
fi

if ! (cd "$work/$root" && sha256sum --quiet -c SHA256SUMS) >"$work/sums.txt" 2>&1; then
    printf 'SHA256SUMS does not hold:\n%s\n' "$(cat "$work/sums.txt")"
    exit 1
fi
if [ "$(cd "$work/$root" && find . -type f ! -name SHA256SUMS | wc -l)" != "$(wc -l <"$work/$root/SHA256SUMS")" ]; then
    echo "SHA256SUMS does not list every file"
    exit 1
fi
# FILES.txt says what is signed: both of ours or nothing, never a stand-in.
certificate_table() { "$objdump" -p "$1" | awk '/Security Directory/ { print ($4 == "00000000") ? "none" : "signed" }'; }
signatures="$(certificate_table "$work/$root/Tavrel.dll") $(certificate_table "$work/$root/tavrel-host.exe")"
signatures+=" $(certificate_table "$work/$root/standins/Jorvex.dll") $(certificate_table "$work/$root/standins/Quennet.dll")"
case "$signatures" in
    "none none none none") said='^Signed  *none' ;;
    "signed signed none none") said='^Signed  *Tavrel.dll and tavrel-host.exe' ;;
    *) echo "signatures (Tavrel.dll, tavrel-host.exe, stand-ins): $signatures"; exit 1 ;;
esac
if ! grep -q "$said" "$work/$root/FILES.txt"; then
    printf 'FILES.txt says:\n%s\nbut the signatures are: %s\n' "$(cat "$work/$root/FILES.txt")" "$signatures"
    exit 1
fi

for binary in "$work/$root"/*.dll "$work/$root"/*.exe "$work/$root"/standins/*.dll; do
    if "$objdump" -h "$binary" | grep -q '\.debug'; then
        echo "debug sections left in ${binary#$work/}"
        exit 1
    fi
done

"$wine_run" "$prefix" "$work/$root/tavrel-host.exe" --version >"$work/version.txt" 2>&1 </dev/null
output=$(tr -d '\r' <"$work/version.txt")
digest=$(awk '$2 == "Tavrel.dll" { print $1 }' "$work/$root/SHA256SUMS")
if [ "$output" != "$(printf 'interface version 0x00010001\nfile version %s\nTavrel.dll SHA-256 %s' "$version" "$digest")" ]; then
    printf 'tavrel-host --version from the archive said:\n%s\n' "$output"
    exit 1
fi
# The examination logs through the logging service, delay-loaded from standins/.
host_path="Z:${work//\//\\}\\$root\\tavrel-host.exe"
"$wine_run" "$prefix" "$work/$root/tavrel-host.exe" explain "$host_path" >"$work/explain.txt" 2>&1 </dev/null || {
    printf 'tavrel-host explain from the archive failed:\n%s\n' "$(tr -d '\r' <"$work/explain.txt")"
    exit 1
}
if ! grep -q '(application)' "$work/explain.txt"; then
    printf 'tavrel-host explain from the archive said:\n%s\n' "$(tr -d '\r' <"$work/explain.txt")"
    exit 1
fi
echo "archive $root.zip: 8 files, checksums hold, stripped, host runs, names its plug-in's digest and explains"
