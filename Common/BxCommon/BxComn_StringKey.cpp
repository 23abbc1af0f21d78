#include "Common/BxCommon/BxComn_StringKey.h"

// kMaskPieces and kKeyPieces, generated from the build's key file.
#include "BxComn_StringKeyPieces.h"

namespace BxCommon::Cryptograph {

StringKey::StringKey() {
    for (DWORD piece = 0; piece < 4; ++piece) {
        const DWORD word = kMaskPieces[piece] ^ kKeyPieces[piece];
        for (DWORD i = 0; i < 4; ++i) bytes_[piece * 4 + i] = static_cast<BYTE>(word >> (8 * i));
    }
}

StringKey::~StringKey() { SecureZeroMemory(bytes_, sizeof bytes_); }

}  // namespace BxCommon::Cryptograph
