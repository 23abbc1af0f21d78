#include "DecryptTarget.h"

#include <stdexcept>

#include "Common/BxCommon/BxComn_StringCrypt.h"
#include "Common/BxCommon/BxComn_StringEncrypt.h"

namespace WineFuzz {
namespace {

const std::wstring kUntouched = L"untouched \u00e9";

// The UTF-8 length of the text up to its first NUL; an unpaired surrogate
// becomes U+FFFD, three bytes.
size_t Utf8Length(const std::wstring& text) {
    size_t bytes = 0;
    for (size_t i = 0; i < text.size() && text[i] != L'\0'; ++i) {
        const wchar_t c = text[i];
        const bool pair =
            c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (pair) {
            bytes += 4;
            ++i;
        } else {
            bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        }
    }
    return bytes;
}

}  // namespace

CaseFields DecryptTarget::Generate() {
    if (rng_.Chance(150)) return RealCiphertext();
    return {Kind(), HexText()};
}

std::wstring DecryptTarget::HexText() {
    static const wchar_t kDigits[] = L"0123456789abcdefABCDEF";
    static const wchar_t kOdd[] = {L'g',  L'x',   L'X',   L' ',   L'-',   L'+',   L'\0',
                                   L'\t', 0x00E9, 0x4E2D, 0xD800, 0xDC00, 0xFFFD, 0xFF10};
    const size_t length = rng_.Chance(100)
                              ? static_cast<size_t>(rng_.OneOf({0, 30, 31, 32, 33, 34, 63, 64, 65, 100000}))
                              : SkewedLength(rng_, 100000);
    // Some texts are all digits, some mostly, some anything at all.
    const unsigned oddPerMille = static_cast<unsigned>(rng_.OneOf({0, 0, 5, 50, 500}));
    const bool anyUnit = rng_.Chance(100);
    std::wstring text(length, L'0');
    for (wchar_t& c : text) {
        if (anyUnit) {
            c = static_cast<wchar_t>(rng_.Below(0x10000));
        } else {
            c = rng_.Chance(oddPerMille) ? rng_.Pick(kOdd) : kDigits[rng_.Below(sizeof kDigits / sizeof(wchar_t) - 1)];
        }
    }
    return text;
}

CaseFields DecryptTarget::RealCiphertext() {
    // Printable text, ending in no control byte, decrypts back to itself.
    std::wstring plaintext(SkewedLength(rng_, 2000), L' ');
    for (wchar_t& c : plaintext) {
        c = rng_.Chance(900) ? static_cast<wchar_t>(rng_.Between(0x20, 0x7E))
                             : static_cast<wchar_t>(rng_.OneOf({0xE9, 0x416, 0x4E2D, 0xFFFD}));
    }
    std::wstring stored;
    if (!BxCommon::Cryptograph::EncryptStringW(stored, plaintext)) throw std::runtime_error("EncryptStringW failed");
    return {Kind(), stored, plaintext};
}

std::wstring DecryptTarget::Check(const CaseFields& fields) {
    if (fields.size() != 2 && fields.size() != 3) return L"a decrypt case has a stored form and maybe its text";
    const std::wstring& stored = fields[1];
    std::wstring out = kUntouched;
    const bool decrypted = BxCommon::Cryptograph::DecryptStringW(out, stored);
    const bool wholeBlock = Utf8Length(stored) / 2 >= 16;
    if (decrypted != wholeBlock) {
        return std::wstring(decrypted ? L"true" : L"false") + L" for a stored form of " +
               std::to_wstring(Utf8Length(stored)) + L" UTF-8 bytes";
    }
    if (!decrypted && out != kUntouched) return L"false, but out was changed";
    if (decrypted && fields.size() == 3 && out != fields[2]) return L"a real ciphertext did not decrypt to its text";
    accepted_ += decrypted ? 1 : 0;
    return {};
}

std::wstring DecryptTarget::Figures() const { return L"decrypted " + std::to_wstring(accepted_); }

}  // namespace WineFuzz
