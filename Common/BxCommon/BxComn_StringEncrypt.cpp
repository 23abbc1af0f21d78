#include "Common/BxCommon/BxComn_StringEncrypt.h"

#include <vector>

#include "Common/BxCommon/BxComn_Rijndael.h"
#include "Common/BxCommon/BxComn_String.h"
#include "Common/BxCommon/BxComn_StringKey.h"

namespace BxCommon::Cryptograph {

bool EncryptStringW(std::wstring& out, const std::wstring& in) {
    std::string utf8 = String::WideToUtf8(in);
    std::vector<BYTE> plaintext(utf8.begin(), utf8.end());
    // The cipher pads only a partial block; the empty text becomes one block
    // of padding, which decryption removes again.
    if (plaintext.empty()) plaintext.assign(16, 16);
    std::vector<BYTE> ciphertext(plaintext.size() + 16, 0);

    StringKey key;
    Rijndael cipher;
    DWORD error = ERROR_SUCCESS;
    ULONGLONG produced = 0;
    if (!cipher.Initialize(kEncrypt, key.Bytes(), StringKey::kLength, kModeCbc, nullptr, 0, &error) ||
        !cipher.Convert(plaintext.data(), plaintext.size(), ciphertext.data(), ciphertext.size(), &produced, &error)) {
        return false;
    }
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring digits;
    digits.reserve(static_cast<size_t>(produced) * 2);
    for (ULONGLONG i = 0; i < produced; ++i) {
        digits += kDigits[ciphertext[i] >> 4];
        digits += kDigits[ciphertext[i] & 0xF];
    }
    out = std::move(digits);
    return true;
}

}  // namespace BxCommon::Cryptograph
