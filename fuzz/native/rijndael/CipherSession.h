// One cipher object driven through any sequence of its calls, with the
// stage the header's contract says it is in, so that each call's answer can
// be checked against that contract.
#pragma once

#include "Common/BxCommon/BxComn_Rijndael.h"
#include "support/ByteReader.h"

namespace Fuzz {

class CipherSession {
public:
    // Each reads its arguments from `in`, calls the cipher into guarded
    // output spaces and checks the outcome.
    void Initialize(ByteReader& in);
    void Update(ByteReader& in);
    void Final(ByteReader& in);
    void Convert(ByteReader& in);
    void Reset();

private:
    // Idle, initialised, processing, finished as in the header; after a
    // Convert the stage is processing or finished, and the driver cannot
    // tell which.
    enum Stage { kIdle, kInitialised, kProcessing, kFinished, kProcessingOrFinished };

    void CheckKeyLength() const;

    BxCommon::Cryptograph::Rijndael cipher_;
    Stage stage_ = kIdle;
    ULONGLONG keyLength_ = 0;
};

}  // namespace Fuzz
