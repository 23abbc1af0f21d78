// The common library's symmetric cipher: an abstract interface and AES
// (FIPS-197: 16-byte blocks, 16-, 24- or 32-byte keys) with ECB, CBC and
// one-bit CFB, streaming input and block padding.
//
// Nothing here throws or logs. Every operation returns true on success and
// false on failure, and writes a Windows error number to `error` when it is
// not null (0 on success):
//   ERROR_INVALID_FUNCTION (1)    the call is not allowed in the current
//                                 stage, or a block step has no full block;
//   ERROR_NOT_ENOUGH_MEMORY (8)   an encryption block step has less than 16
//                                 bytes of output space;
//   ERROR_INVALID_DATA (13)       input, key or output missing, or a key
//                                 length other than 16, 24 or 32;
//   ERROR_NOT_SUPPORTED (50)      a block step with an unknown direction or
//                                 mode;
//   ERROR_INVALID_PARAMETER (87)  Initialize with an unknown mode.
//
// Stages: a new or reset object is idle (0). Initialize (from 0 or 1) makes
// it initialised (1); Update (from 1 or 2) makes it processing (2), Final
// (from 2 only) finished (3); Reset (from 1, 2 or 3) makes it idle again.
// Any other call is refused with error 1 and changes nothing. To use an
// object again after Update or Final, call Reset and then Initialize.
//
// One object serves one thread at a time. Input and output may be the same
// buffer; other overlaps are not supported.
#pragma once

#include <cstdint>

#include "Common/BxCommon/BxComn_PortableTypes.h"

namespace BxCommon::Cryptograph {

// Directions.
inline constexpr DWORD kEncrypt = 0;
inline constexpr DWORD kDecrypt = 1;
inline constexpr DWORD kNoDirection = 2;

// Modes. kModeCfb1 is the one-bit cipher feedback of NIST SP 800-38A, run
// over the 128 bits of each whole block.
inline constexpr DWORD kModeEcb = 0;
inline constexpr DWORD kModeCbc = 1;
inline constexpr DWORD kModeCfb1 = 2;
inline constexpr DWORD kNoMode = 3;

class SymmetricCipherBase {
public:
    virtual ~SymmetricCipherBase() = default;

    virtual bool Initialize(DWORD direction, const BYTE* key, ULONGLONG keyLength, DWORD mode, const BYTE* iv,
                            ULONGLONG ivLength, DWORD* error) = 0;
    virtual bool Convert(const BYTE* input, ULONGLONG inputLength, BYTE* output, ULONGLONG outputSpace,
                         ULONGLONG* produced, DWORD* error) = 0;
    virtual bool Reset(DWORD* error) = 0;
    virtual bool Update(const BYTE* input, ULONGLONG inputLength, BYTE* output, ULONGLONG outputSpace,
                        ULONGLONG* produced, DWORD* error) = 0;
    virtual bool Final(BYTE* output, ULONGLONG outputSpace, ULONGLONG* produced, DWORD* error) = 0;
    virtual ULONGLONG GetBlockSize() const = 0;
    virtual ULONGLONG GetKeyLength() const = 0;

protected:
    SymmetricCipherBase() = default;
    SymmetricCipherBase(const SymmetricCipherBase&) = default;
    SymmetricCipherBase& operator=(const SymmetricCipherBase&) = default;
};

class Rijndael : public SymmetricCipherBase {
public:
    static constexpr ULONGLONG kBlockSize = 16;

    Rijndael() = default;
    // Wipes the key schedule, the feedback register and the buffered block.
    ~Rijndael() override;
    Rijndael(const Rijndael&) = delete;
    Rijndael& operator=(const Rijndael&) = delete;

    // Allowed idle or initialised. Fails with 13 if `key` is null or
    // `keyLength` is not 16, 24 or 32, then with 87 if `mode` is unknown; a
    // failed call changes nothing. Otherwise stores `direction` unchecked,
    // expands the key, clears the buffered input and loads the first
    // min(ivLength, 16) bytes of `iv`, if given, into a zeroed feedback
    // register. Then initialised.
    bool Initialize(DWORD direction, const BYTE* key, ULONGLONG keyLength, DWORD mode, const BYTE* iv,
                    ULONGLONG ivLength, DWORD* error) override;

    // Update over the whole input, then, only if the input is longer than
    // what Update wrote, Final into the rest of the output. `produced` is
    // written only on success. So encrypting whole blocks adds no padding
    // block and leaves the object processing, while decrypting always ends
    // in Final: the last block is held back for it. Fails with the first
    // failing step's error.
    bool Convert(const BYTE* input, ULONGLONG inputLength, BYTE* output, ULONGLONG outputSpace, ULONGLONG* produced,
                 DWORD* error) override;

    // Fails with 1 when idle. Otherwise wipes direction, mode, key, pad
    // length, feedback and buffered input, and returns to idle.
    bool Reset(DWORD* error) override;

    // Sets `*produced` to 0 first and then to the bytes written, also on
    // failure. Allowed initialised or processing (else 1, stage unchanged);
    // afterwards processing whatever the outcome. Fails with 13 if `input`
    // or `output` is null or `outputSpace` is 0; an empty input then
    // succeeds at once. Input is collected into 16-byte blocks and each full
    // block is processed, except that when decrypting, a full block followed
    // by fewer than 16 further input bytes is kept for Final and those bytes
    // are not read. Encryption needs 16 bytes of output space per block
    // (else 8); decryption writes what fits of each block.
    bool Update(const BYTE* input, ULONGLONG inputLength, BYTE* output, ULONGLONG outputSpace, ULONGLONG* produced,
                DWORD* error) override;

    // Sets `*produced` to 0 first and then to the bytes written, also on
    // failure. Allowed processing only (else 1, stage unchanged); afterwards
    // finished whatever the outcome. Fails with 13 if `output` is null while
    // `outputSpace` is not 0.
    // Encrypting: a partial block is padded with n bytes of value n (an
    // empty one is not: the step then fails with 1) and encrypted.
    // Decrypting: the held-back block is decrypted (fails with 1 if there is
    // none). In ECB and CBC, if it ends in n bytes of value n, 1 <= n <= 16,
    // with k = 16 for an output space of exactly 16 and outputSpace % 16
    // otherwise, and k >= 16 - n, the written bytes 16 - n to k - 1 are
    // zeroed and not counted. With the 16 bytes that Convert leaves for the
    // last block this drops exactly the padding; note that a plaintext that
    // happens to end in byte 1 loses it.
    bool Final(BYTE* output, ULONGLONG outputSpace, ULONGLONG* produced, DWORD* error) override;

    ULONGLONG GetBlockSize() const override { return kBlockSize; }
    // 16, 24 or 32 after a successful Initialize; 0 when idle.
    ULONGLONG GetKeyLength() const override { return keyLength_; }

private:
    enum Stage : DWORD { kIdle = 0, kInitialised = 1, kProcessing = 2, kFinished = 3 };

    // Block steps on the block buffer: output at `output`, `space` bytes.
    // They need a full block, empty the buffer after writing and return the
    // error (0 on success) and the bytes written.
    DWORD EncryptStep(BYTE* output, ULONGLONG space, ULONGLONG* written);
    DWORD DecryptStep(BYTE* output, ULONGLONG space, ULONGLONG* written);
    DWORD BlockStep(BYTE* output, ULONGLONG space, ULONGLONG* written);
    void Cfb1(const BYTE* input, BYTE* output, bool encrypting);
    void DetectPadding(const BYTE* plain);
    void Wipe();

    // Whole blocks from `input` to `output` without the block buffer, for
    // ECB and CBC; what the block steps would do, block after block.
    void EncryptBlocks(const BYTE* input, BYTE* output, ULONGLONG blocks);
    void DecryptBlocks(const BYTE* input, BYTE* output, ULONGLONG blocks);

    // The block cipher itself, with the stored round keys.
    void ExpandKey(const BYTE* key);
    void InvertKeySchedule();
    void EncryptBlock(const BYTE* input, BYTE* output) const;

    BYTE block_[16] = {};
    ULONGLONG buffered_ = 0;
    ULONGLONG padLength_ = 0;
    BYTE feedback_[16] = {};
    // 15 round keys of four little-endian column words: the encryption
    // schedule, or the equivalent inverse cipher's when decrypting in ECB
    // or CBC.
    std::uint32_t roundKeys_[60] = {};
    DWORD direction_ = kNoDirection;
    DWORD mode_ = kNoMode;
    DWORD rounds_ = 0;
    ULONGLONG keyLength_ = 0;
    DWORD stage_ = kIdle;
};

}  // namespace BxCommon::Cryptograph
