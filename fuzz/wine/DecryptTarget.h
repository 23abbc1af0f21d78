// BxCommon::Cryptograph::DecryptStringW with random stored forms: hex text
// of odd and even lengths from 0 to 100,000 characters, with non-hex
// digits, NULs and non-ASCII characters among them, and now and then the
// real ciphertext of a known text. Checks: false leaves `out` as it was;
// true exactly when the UTF-8 form, up to its first NUL, holds 16 bytes'
// worth of digit pairs; a real ciphertext decrypts to its text.
#pragma once

#include "Rng.h"
#include "Runner.h"

namespace WineFuzz {

class DecryptTarget : public Target {
public:
    explicit DecryptTarget(uint64_t seed) : rng_(seed) {}

    std::wstring Kind() const override { return L"decrypt"; }
    // {"decrypt", stored form} or {"decrypt", stored form, its plaintext}.
    CaseFields Generate() override;
    std::wstring Check(const CaseFields& fields) override;
    std::wstring Figures() const override;

private:
    std::wstring HexText();
    CaseFields RealCiphertext();

    Rng rng_;
    uint64_t accepted_ = 0;
};

}  // namespace WineFuzz
