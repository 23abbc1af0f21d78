#!/usr/bin/env bash
# AES-128 CBC throughput of the common library's Rijndael (cipher-bench.exe
# under Wine) beside OpenSSL's on this machine with AES-NI masked off, which
# is the fair comparison for a table-driven implementation.
# Builds nothing: build cipher-bench first (cmake --build build --target cipher-bench).
# Usage: bench/cipher/run.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
prefix=$PWD/$build/wineprefix
output=$build/cipher-bench-output.txt
export WINEDEBUG=-all

# Into a file first: Wine's helper processes may hold a pipe open.
if ! cmake/wine-run.sh "$prefix" "$build/bin/cipher-bench.exe" >"$output" 2>&1; then
    tr -d '\r' <"$output" >&2
    exit 1
fi
ours_encrypt=$(tr -d '\r' <"$output" | awk '$1 == "encrypt" { print $2 }')
ours_decrypt=$(tr -d '\r' <"$output" | awk '$1 == "decrypt" { print $2 }')

# Bit 57 is AES-NI and bit 33 PCLMULQDQ; OpenSSL falls back to its
# SSSE3 code (vpaes, and bsaes for CBC decryption). -elapsed makes it count
# wall-clock time, as cipher-bench does, instead of CPU time.
openssl_mbs() {
    OPENSSL_ia32cap="~0x200000200000000" openssl speed -elapsed -evp aes-128-cbc -bytes 16384 -seconds 3 "$@" 2>/dev/null |
        awk '/^AES-128-CBC/ { sub(/k$/, "", $2); printf "%.1f\n", $2 / 1000 }'
}
openssl_encrypt=$(openssl_mbs)
openssl_decrypt=$(openssl_mbs -decrypt)

echo "AES-128-CBC, 16 KiB calls, MB/s (10^6 bytes per second)"
printf '%-8s %12s %12s %8s\n' "" Rijndael "OpenSSL" ratio
for direction in encrypt decrypt; do
    ours=ours_$direction theirs=openssl_$direction
    printf '%-8s %12s %12s %8s\n' "$direction" "${!ours}" "${!theirs}" \
        "$(awk -v a="${!ours}" -v b="${!theirs}" 'BEGIN { printf "%.2f", a / b }')"
done
