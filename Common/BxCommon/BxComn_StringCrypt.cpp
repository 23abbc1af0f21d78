#include "Common/BxCommon/BxComn_StringCrypt.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "Common/BxCommon/BxComn_DebugLog.h"
#include "Common/BxCommon/BxComn_Rijndael.h"
#include "Common/BxCommon/BxComn_String.h"
#include "Common/BxCommon/BxComn_StringKey.h"

namespace BxCommon::Cryptograph {

bool DecryptStringW(std::wstring& out, const std::wstring& in) {
    std::string plaintext;
    if (!DecryptStringA(plaintext, String::WideToUtf8(in))) {
        BXDBG_TRACE(kDebugLevelFailure, L"*** BxCommon::Cryptograph::DecryptStringW() - DecryptStringA() was failed");
        return false;
    }
    out = String::Utf8ToWide(plaintext);
    return true;
}

bool DecryptStringA(std::string& out, const std::string& in) {
    const DWORD length = static_cast<DWORD>(std::min<size_t>(in.size() / 2, MAXDWORD));
    if (!DecryptStringA_Sub(out, in, length)) {
        BXDBG_TRACE(kDebugLevelFailure,
                    L"*** BxCommon::Cryptograph::EncryptStringA() - DecryptStringA_Sub() was failed.");
        return false;
    }
    return true;
}

bool DecryptStringA_Sub(std::string& out, const std::string& in, DWORD length) {
    std::vector<BYTE> ciphertext(length, 0);
    std::vector<BYTE> plaintext(length, 0);

    // strtol reads each pair: a pair that is not a hex number gives the
    // value of its valid beginning, as the stored form has always been read.
    char pair[3] = {};
    for (size_t i = 0, pairs = 0; i < in.size() && pairs < length; ++i) {
        pair[i % 2] = in[i];
        if (i % 2 == 1) ciphertext[pairs++] = static_cast<BYTE>(std::strtol(pair, nullptr, 16) & 0xFF);
    }

    StringKey key;
    Rijndael cipher;
    DWORD error = ERROR_SUCCESS;
    cipher.Initialize(kDecrypt, key.Bytes(), StringKey::kLength, kModeCbc, nullptr, 0, &error);
    ULONGLONG produced = 0;
    if (!cipher.Convert(ciphertext.data(), length, plaintext.data(), length, &produced, &error)) {
        BXDBG_TRACE(kDebugLevelFailure,
                    L"*** BxCommon::Cryptograph::DecryptStringA_Sub() - cRijndael.Convert() was failed. [%d]",
                    static_cast<int>(error));
        return false;
    }
    // `out` is touched only now, so that a failure leaves it as it was.
    out.assign(reinterpret_cast<const char*>(plaintext.data()),
               static_cast<size_t>(std::min<ULONGLONG>(produced, length)));
    return true;
}

}  // namespace BxCommon::Cryptograph
