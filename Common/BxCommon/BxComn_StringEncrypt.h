// The writing side of encrypted settings, for the suite's tools (not part of
// the plug-in): what DecryptStringW reads back.
#pragma once

#include <string>

namespace BxCommon::Cryptograph {

// The stored form of `in`: its UTF-8 bytes encrypted with AES-128-CBC (zero
// IV, the string key; a last partial block padded with n bytes of value n),
// as upper-case hexadecimal digits. A text that does not end in a control
// byte (1 to 16) decrypts back to itself. False only if the cipher fails.
bool EncryptStringW(std::wstring& out, const std::wstring& in);

}  // namespace BxCommon::Cryptograph
