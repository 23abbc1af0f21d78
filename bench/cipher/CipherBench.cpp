// AES-128 CBC throughput of Rijndael, in the shape of `openssl speed -evp
// aes-128-cbc -bytes 16384`: one stream of 16 KiB Update calls, 64 MiB in
// all, best of several runs. Prints one line per direction:
//   encrypt <MB/s>
//   decrypt <MB/s>
// with MB = 10^6 bytes, as OpenSSL counts.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Common/BxCommon/BxComn_Rijndael.h"

using BxCommon::Cryptograph::Rijndael;

namespace {

constexpr size_t kChunk = 16 * 1024;
constexpr size_t kTotal = 64 * 1024 * 1024;
constexpr int kRuns = 5;

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

const BYTE kKey[16] = {0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6, 0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c};
const BYTE kIv[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// Streams kTotal bytes of `chunk` through one cipher object, writing the
// first chunk's output to `first`. Returns the seconds taken, or a negative
// number if the cipher failed.
double Stream(DWORD direction, const std::vector<BYTE>& chunk, std::vector<BYTE>& first) {
    std::vector<BYTE> output(kChunk + 16);
    Rijndael cipher;
    if (!cipher.Initialize(direction, kKey, sizeof kKey, BxCommon::Cryptograph::kModeCbc, kIv, sizeof kIv, nullptr)) {
        return -1;
    }
    const double start = Now();
    for (size_t done = 0; done < kTotal; done += kChunk) {
        ULONGLONG produced = 0;
        if (!cipher.Update(chunk.data(), kChunk, output.data(), output.size(), &produced, nullptr)) return -1;
        if (done == 0) first.assign(output.begin(), output.begin() + static_cast<size_t>(produced));
    }
    // No Final: the stream is whole blocks, so encryption adds no padding,
    // and the one block a decryption still holds does not count.
    return Now() - start;
}

double BestMegabytesPerSecond(DWORD direction, const std::vector<BYTE>& chunk, std::vector<BYTE>& first) {
    double best = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        const double seconds = Stream(direction, chunk, first);
        if (seconds < 0) return -1;
        best = std::min(best, seconds);
    }
    return static_cast<double>(kTotal) / best / 1e6;
}

}  // namespace

int main() {
    std::vector<BYTE> plaintext(kChunk);
    for (size_t i = 0; i < plaintext.size(); ++i) plaintext[i] = static_cast<BYTE>(i * 131 + 7);

    std::vector<BYTE> ciphertext;
    const double encrypt = BestMegabytesPerSecond(BxCommon::Cryptograph::kEncrypt, plaintext, ciphertext);
    // Decrypting the first encrypted chunk checks that the work was real;
    // Update keeps its last block back, so all but 16 bytes come out.
    std::vector<BYTE> decrypted;
    const double decrypt = BestMegabytesPerSecond(BxCommon::Cryptograph::kDecrypt, ciphertext, decrypted);
    if (encrypt < 0 || decrypt < 0 || ciphertext.size() != kChunk || decrypted.size() != kChunk - 16 ||
        std::memcmp(decrypted.data(), plaintext.data(), decrypted.size()) != 0) {
        std::fprintf(stderr, "cipher-bench: the cipher failed or gave a wrong result\n");
        return 1;
    }
    std::printf("encrypt %.1f\n", encrypt);
    std::printf("decrypt %.1f\n", decrypt);
    return 0;
}
