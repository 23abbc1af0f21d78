// Encrypts random plaintext with a valid key, mode and IV, in one call and
// streamed in random pieces, in place or not, and checks that both give the
// same ciphertext and that decrypting it gives the plaintext back.
#pragma once

#include "support/ByteReader.h"

namespace Fuzz {

void RoundTrip(ByteReader& in);

}  // namespace Fuzz
