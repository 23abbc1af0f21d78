// Settings stored as encrypted strings: the AES-128-CBC ciphertext (zero IV,
// the suite's fixed string key) of the UTF-8 text, written as hexadecimal
// digits. The plug-in only decrypts; tools write with EncryptStringW
// (BxComn_StringEncrypt.h).
#pragma once

#include <string>

#include "Common/BxCommon/BxComn_PortableTypes.h"

namespace BxCommon::Cryptograph {

// Decrypts a stored string into `out`. False when the stored form holds no
// whole cipher block (fewer than 32 digits); `out` is then unchanged and the
// debug log has one line from each of the three stages. Digits are not
// checked: a pair that is not hexadecimal gives the value of its valid
// beginning, an unpaired last digit is ignored, and a wrong key or corrupt
// digits give wrong text rather than a failure. The text ends at its first
// zero byte; invalid UTF-8 becomes replacement characters.
bool DecryptStringW(std::wstring& out, const std::wstring& in);

// The same for the UTF-8 form of the stored string; `out` gets the plaintext
// bytes (padding removed, zero bytes kept), and is unchanged on failure.
bool DecryptStringA(std::string& out, const std::string& in);

// Decodes `length` bytes of ciphertext from the digit pairs of `in` and
// decrypts them into `out`; `out` is unchanged on failure.
bool DecryptStringA_Sub(std::string& out, const std::string& in, DWORD length);

}  // namespace BxCommon::Cryptograph
