#!/usr/bin/env bash
# Signs the release archive with a throwaway CA's code-signing certificate,
# made here and discarded, and checks that both of our binaries verify
# against that CA, that a changed byte does not, that removing a signature
# gives back the unsigned archive's bytes, that the same certificate signs to
# the same archive, and that the stand-ins stay unsigned.
# Usage: CheckSigning.sh MAKE_ARCHIVE ARCHIVE_INPUTS...
set -euo pipefail
make_archive=$1; shift
version=$2
root=Tavrel-$version-win64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Tavrel test CA" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign >openssl.log 2>&1
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Tavrel test signer" >>openssl.log 2>&1
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext \
    -out signer.pem >>openssl.log 2>&1
export TAVREL_SIGNING_PASSWORD
TAVREL_SIGNING_PASSWORD=$(openssl rand -hex 16)
openssl pkcs12 -export -inkey signer.key -in signer.pem -passout env:TAVREL_SIGNING_PASSWORD -out signer.pfx

mkdir unsigned signed again
bash "$make_archive" unsigned "$@" >unsigned.log
bash "$make_archive" signed "$@" --sign signer.pfx >signed.log
# A second later, so that a signing time taken from the clock would show.
sleep 1
bash "$make_archive" again "$@" --sign signer.pfx >again.log
if ! cmp -s "signed/$root.zip" "again/$root.zip"; then
    echo "the same certificate signed to a different archive"
    exit 1
fi

for side in unsigned signed; do
    mkdir "$side/unpacked"
    (cd "$side/unpacked" && cmake -E tar xf "../$root.zip")
done
unsigned=unsigned/unpacked/$root signed=signed/unpacked/$root
grep -q '^Signed  *Tavrel.dll and tavrel-host.exe' "$signed/FILES.txt" || {
    printf 'FILES.txt of a signed archive says:\n%s\n' "$(cat "$signed/FILES.txt")"
    exit 1
}

for file in Tavrel.dll tavrel-host.exe; do
    if ! osslsigncode verify -CAfile ca.pem -in "$signed/$file" >verify.log 2>&1; then
        printf '%s does not verify:\n%s\n' "$file" "$(cat verify.log)"
        exit 1
    fi
    # One byte changed in the middle of the image.
    cp "$signed/$file" tampered
    size=$(stat -c %s tampered)
    printf '\xff' | dd of=tampered bs=1 seek=$((size / 2)) conv=notrunc status=none
    if cmp -s "$signed/$file" tampered; then
        printf '\xfe' | dd of=tampered bs=1 seek=$((size / 2)) conv=notrunc status=none
    fi
    if osslsigncode verify -CAfile ca.pem -in tampered >verify.log 2>&1; then
        echo "$file verifies with a byte changed"
        exit 1
    fi
    osslsigncode remove-signature -in "$signed/$file" -out removed >remove.log 2>&1
    if ! cmp removed "$unsigned/$file"; then
        echo "$file without its signature is not the unsigned build's $file"
        exit 1
    fi
    rm -f tampered removed
done
for file in standins/Jorvex.dll standins/Quennet.dll; do
    if ! cmp -s "$signed/$file" "$unsigned/$file"; then
        echo "$file changed in the signed archive"
        exit 1
    fi
done
echo "signed $root.zip: both binaries verify, a changed byte does not, unsigned bytes come back, same certificate same archive"
