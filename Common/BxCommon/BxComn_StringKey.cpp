#include "Common/BxCommon/BxComn_StringKey.h"

namespace BxCommon::Cryptograph {
namespace {

// The key is the XOR of these two halves of pieces. Reading them as volatile
// keeps the compiler from folding the key into one constant.
volatile const DWORD kMaskPieces[4] = {0x5D3A9C17, 0xE8046BB2, 0x1FC7D259, 0x9A6E30C4};
volatile const DWORD kKeyPieces[4] = {0x29F3A05C, 0x7B1D94E6, 0xC2588B3F, 0x40E7D91A};

}  // namespace

StringKey::StringKey() {
    for (DWORD piece = 0; piece < 4; ++piece) {
        const DWORD word = kMaskPieces[piece] ^ kKeyPieces[piece];
        for (DWORD i = 0; i < 4; ++i) bytes_[piece * 4 + i] = static_cast<BYTE>(word >> (8 * i));
    }
}

StringKey::~StringKey() { SecureZeroMemory(bytes_, sizeof bytes_); }

}  // namespace BxCommon::Cryptograph
