// The cipher's stages, streaming, block modes and padding; the block cipher
// itself is in BxComn_RijndaelCore.cpp.

#include <algorithm>
#include <cstring>

#include "Common/BxCommon/BxComn_Rijndael.h"

namespace BxCommon::Cryptograph {

namespace {

bool Fail(DWORD* error, DWORD code) {
    if (error != nullptr) *error = code;
    return false;
}

bool Succeed(DWORD* error) {
    if (error != nullptr) *error = ERROR_SUCCESS;
    return true;
}

bool IsBlockMode(DWORD mode) { return mode == kModeEcb || mode == kModeCbc; }

}  // namespace

bool Rijndael::Initialize(DWORD direction, const BYTE* key, ULONGLONG keyLength, DWORD mode, const BYTE* iv,
                          ULONGLONG ivLength, DWORD* error) {
    // Every argument is checked before anything changes: a refused call
    // leaves the object exactly as it was (key first, then mode).
    if (stage_ != kIdle && stage_ != kInitialised) return Fail(error, ERROR_INVALID_FUNCTION);
    if (key == nullptr || (keyLength != 16 && keyLength != 24 && keyLength != 32)) {
        return Fail(error, ERROR_INVALID_DATA);
    }
    if (mode != kModeEcb && mode != kModeCbc && mode != kModeCfb1) return Fail(error, ERROR_INVALID_PARAMETER);

    direction_ = direction;
    keyLength_ = keyLength;
    rounds_ = static_cast<DWORD>(keyLength / 4 + 6);
    ExpandKey(key);
    // CFB runs the forward cipher in both directions.
    if (direction == kDecrypt && mode != kModeCfb1) InvertKeySchedule();
    mode_ = mode;
    SecureZeroMemory(block_, sizeof block_);
    buffered_ = 0;
    SecureZeroMemory(feedback_, sizeof feedback_);
    if (iv != nullptr) std::memcpy(feedback_, iv, static_cast<size_t>(std::min<ULONGLONG>(ivLength, 16)));
    stage_ = kInitialised;
    return Succeed(error);
}

bool Rijndael::Convert(const BYTE* input, ULONGLONG inputLength, BYTE* output, ULONGLONG outputSpace,
                       ULONGLONG* produced, DWORD* error) {
    DWORD code = ERROR_SUCCESS;
    ULONGLONG updated = 0;
    if (!Update(input, inputLength, output, outputSpace, &updated, &code)) return Fail(error, code);
    ULONGLONG finished = 0;
    if (inputLength > updated && !Final(output + updated, outputSpace - updated, &finished, &code)) {
        return Fail(error, code);
    }
    if (produced != nullptr) *produced = updated + finished;
    return Succeed(error);
}

bool Rijndael::Reset(DWORD* error) {
    if (stage_ == kIdle) return Fail(error, ERROR_INVALID_FUNCTION);
    Wipe();
    return Succeed(error);
}

Rijndael::~Rijndael() { Wipe(); }

// SecureZeroMemory, unlike memset, is not dropped when the object is about
// to die: the key schedule (whose first and last round keys each give the
// key back), the chain and the buffered block must not outlive their use.
void Rijndael::Wipe() {
    SecureZeroMemory(block_, sizeof block_);
    SecureZeroMemory(feedback_, sizeof feedback_);
    SecureZeroMemory(roundKeys_, sizeof roundKeys_);
    buffered_ = 0;
    padLength_ = 0;
    direction_ = kNoDirection;
    mode_ = kNoMode;
    rounds_ = 0;
    keyLength_ = 0;
    stage_ = kIdle;
}

bool Rijndael::Update(const BYTE* input, ULONGLONG inputLength, BYTE* output, ULONGLONG outputSpace,
                      ULONGLONG* produced, DWORD* error) {
    if (produced != nullptr) *produced = 0;
    if (stage_ != kInitialised && stage_ != kProcessing) return Fail(error, ERROR_INVALID_FUNCTION);
    stage_ = kProcessing;
    if (input == nullptr || output == nullptr || outputSpace == 0) return Fail(error, ERROR_INVALID_DATA);

    const bool decrypting = direction_ == kDecrypt;
    const bool bulk = IsBlockMode(mode_) && (decrypting || direction_ == kEncrypt);
    ULONGLONG used = 0;
    ULONGLONG written = 0;
    DWORD result = ERROR_SUCCESS;
    while (used < inputLength) {
        if (bulk && buffered_ == 0) {
            // Whole blocks that the loop below would process one by one, at
            // full output size, go straight from input to output. When
            // decrypting, the last full block is left for the loop to hold.
            ULONGLONG blocks = (inputLength - used) / kBlockSize;
            if (decrypting) blocks = blocks == 0 ? 0 : blocks - 1;
            blocks = std::min(blocks, (outputSpace - written) / kBlockSize);
            if (blocks != 0) {
                if (decrypting) {
                    DecryptBlocks(input + used, output + written, blocks);
                    DetectPadding(output + written + (blocks - 1) * kBlockSize);
                } else {
                    EncryptBlocks(input + used, output + written, blocks);
                }
                used += blocks * kBlockSize;
                written += blocks * kBlockSize;
                if (used == inputLength) break;
            }
        }

        const ULONGLONG take = std::min(kBlockSize - buffered_, inputLength - used);
        std::memcpy(block_ + buffered_, input + used, static_cast<size_t>(take));
        buffered_ += take;
        used += take;
        if (buffered_ < kBlockSize) break;
        // The last block of a decryption is Final's, which removes padding.
        if (decrypting && inputLength - used < kBlockSize) break;

        ULONGLONG stepWritten = 0;
        result = BlockStep(output + written, outputSpace - written, &stepWritten);
        if (result != ERROR_SUCCESS) break;
        written += stepWritten;
    }

    if (produced != nullptr) *produced = written;
    return result == ERROR_SUCCESS ? Succeed(error) : Fail(error, result);
}

bool Rijndael::Final(BYTE* output, ULONGLONG outputSpace, ULONGLONG* produced, DWORD* error) {
    if (produced != nullptr) *produced = 0;
    if (stage_ != kProcessing) return Fail(error, ERROR_INVALID_FUNCTION);
    stage_ = kFinished;
    if (output == nullptr && outputSpace != 0) return Fail(error, ERROR_INVALID_DATA);

    ULONGLONG written = 0;
    DWORD result = ERROR_SUCCESS;
    if (direction_ == kEncrypt) {
        if (buffered_ != 0 && buffered_ < kBlockSize) {
            const BYTE pad = static_cast<BYTE>(kBlockSize - buffered_);
            std::memset(block_ + buffered_, pad, pad);
            buffered_ = kBlockSize;
        }
        result = BlockStep(output, outputSpace, &written);
    } else if (direction_ == kDecrypt) {
        result = BlockStep(output, outputSpace, &written);
        if (result == ERROR_SUCCESS && padLength_ != 0) {
            // k is where the caller's space ends within this block, counted
            // modulo the block size. Only a space of exactly 16, which is
            // what Convert leaves for the last block, drops exactly the
            // padding; other spaces keep this long-standing arithmetic.
            const ULONGLONG keep = kBlockSize - padLength_;
            const ULONGLONG k = outputSpace == kBlockSize ? kBlockSize : outputSpace % kBlockSize;
            if (k > keep) {
                std::memset(output + keep, 0, static_cast<size_t>(k - keep));
                written -= k - keep;
            }
        }
    } else {
        result = ERROR_NOT_SUPPORTED;
    }

    if (produced != nullptr) *produced = written;
    return result == ERROR_SUCCESS ? Succeed(error) : Fail(error, result);
}

DWORD Rijndael::BlockStep(BYTE* output, ULONGLONG space, ULONGLONG* written) {
    if (mode_ != kModeEcb && mode_ != kModeCbc && mode_ != kModeCfb1) return ERROR_NOT_SUPPORTED;
    if (direction_ == kEncrypt) return EncryptStep(output, space, written);
    if (direction_ == kDecrypt) return DecryptStep(output, space, written);
    return ERROR_NOT_SUPPORTED;
}

DWORD Rijndael::EncryptStep(BYTE* output, ULONGLONG space, ULONGLONG* written) {
    *written = 0;
    if (buffered_ != kBlockSize) return ERROR_INVALID_FUNCTION;
    if (space < kBlockSize) return ERROR_NOT_ENOUGH_MEMORY;
    if (mode_ == kModeCfb1) {
        Cfb1(block_, output, true);
    } else {
        EncryptBlocks(block_, output, 1);
    }
    buffered_ = 0;
    *written = kBlockSize;
    return ERROR_SUCCESS;
}

DWORD Rijndael::DecryptStep(BYTE* output, ULONGLONG space, ULONGLONG* written) {
    *written = 0;
    if (buffered_ != kBlockSize) return ERROR_INVALID_FUNCTION;
    BYTE plain[kBlockSize];
    if (mode_ == kModeCfb1) {
        Cfb1(block_, plain, false);
    } else {
        DecryptBlocks(block_, plain, 1);
        DetectPadding(plain);
    }
    const ULONGLONG count = std::min(space, kBlockSize);
    if (count != 0) std::memcpy(output, plain, static_cast<size_t>(count));
    buffered_ = 0;
    *written = count;
    return ERROR_SUCCESS;
}

// NIST SP 800-38A 6.3 with s = 1, over the block's bits from the most
// significant bit of its first byte. Both directions feed the ciphertext bit
// back, which is the output when encrypting and the input when decrypting.
void Rijndael::Cfb1(const BYTE* input, BYTE* output, bool encrypting) {
    BYTE result[kBlockSize];
    BYTE keystream[kBlockSize];
    for (size_t i = 0; i < kBlockSize; ++i) {
        BYTE out = 0;
        for (int bit = 7; bit >= 0; --bit) {
            EncryptBlock(feedback_, keystream);
            const BYTE in = static_cast<BYTE>((input[i] >> bit) & 1);
            const BYTE o = static_cast<BYTE>(in ^ (keystream[0] >> 7));
            out = static_cast<BYTE>(out | (o << bit));
            for (size_t j = 0; j + 1 < kBlockSize; ++j) {
                feedback_[j] = static_cast<BYTE>((feedback_[j] << 1) | (feedback_[j + 1] >> 7));
            }
            feedback_[kBlockSize - 1] = static_cast<BYTE>((feedback_[kBlockSize - 1] << 1) | (encrypting ? o : in));
        }
        result[i] = out;
    }
    std::memcpy(output, result, kBlockSize);
}

void Rijndael::DetectPadding(const BYTE* plain) {
    const BYTE n = plain[kBlockSize - 1];
    padLength_ = 0;
    if (n < 1 || n > kBlockSize) return;
    for (size_t i = kBlockSize - n; i < kBlockSize; ++i) {
        if (plain[i] != n) return;
    }
    padLength_ = n;
}

}  // namespace BxCommon::Cryptograph
