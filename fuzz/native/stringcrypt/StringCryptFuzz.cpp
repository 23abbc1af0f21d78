// Stored-string decryption with random text and a `length` that may disagree
// with it, and a round trip through the tools' encryption.
// Input: one byte that moves `length` away from half the text's size (as a
// signed number), then the text, any bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Common/BxCommon/BxComn_String.h"
#include "Common/BxCommon/BxComn_StringCrypt.h"
#include "Common/BxCommon/BxComn_StringEncrypt.h"
#include "support/Check.h"

using namespace BxCommon;

namespace {

const std::string kUnchanged = "unchanged";

// Sub decodes `length` bytes (zeros past the digits) and decrypts whole
// blocks only: it fails below one block and otherwise gives the blocks'
// bytes less at most one block of padding.
void DecodeWithLength(const std::string& text, std::int8_t shift) {
    const long wanted = static_cast<long>(text.size() / 2) + shift;
    const DWORD length = static_cast<DWORD>(wanted < 0 ? 0 : wanted);
    std::string out = kUnchanged;
    const bool ok = Cryptograph::DecryptStringA_Sub(out, text, length);
    FUZZ_CHECK(ok == (length >= 16));
    if (!ok) {
        FUZZ_CHECK(out == kUnchanged);
        return;
    }
    const size_t blocks = length / 16 * 16;
    FUZZ_CHECK(out.size() <= blocks && out.size() + 16 >= blocks);
}

// The tools' stored form of a text decrypts back to its UTF-8, unless that
// ends in a byte from 1 to 16: such an ending can be taken for padding and
// dropped.
void RoundTrip(const std::string& text) {
    const std::wstring wide = String::Utf8ToWide(text);
    const std::string utf8 = String::WideToUtf8(wide);
    std::wstring stored;
    FUZZ_CHECK(Cryptograph::EncryptStringW(stored, wide));
    std::wstring back;
    FUZZ_CHECK(Cryptograph::DecryptStringW(back, stored));
    const std::string backUtf8 = String::WideToUtf8(back);
    const bool mayLoseEnd = !utf8.empty() && utf8.back() >= 1 && utf8.back() <= 16;
    if (mayLoseEnd) {
        FUZZ_CHECK(backUtf8.size() <= utf8.size() && utf8.size() - backUtf8.size() <= 16 &&
                   utf8.compare(0, backUtf8.size(), backUtf8) == 0);
    } else {
        FUZZ_CHECK(backUtf8 == utf8);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    DecodeWithLength(text, static_cast<std::int8_t>(data[0]));
    RoundTrip(text);
    return 0;
}
