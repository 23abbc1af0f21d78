#include "rijndael/CipherSession.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "support/Check.h"
#include "support/GuardedBuffer.h"

namespace Fuzz {

using namespace BxCommon::Cryptograph;

namespace {

// Any value the driver did not expect to see written.
constexpr DWORD kUnwritten = 0xDEADBEEF;

// Every call writes an error: 0 exactly on success, else one of the
// header's codes.
void CheckAnswer(bool ok, DWORD error) {
    FUZZ_CHECK(ok == (error == ERROR_SUCCESS));
    FUZZ_CHECK(error == ERROR_SUCCESS || error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_ENOUGH_MEMORY ||
               error == ERROR_INVALID_DATA || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER);
}

// Arguments of Update and Convert: input, output space and null pointers.
// In place, the output space covers the input, as the header allows.
struct StreamCall {
    explicit StreamCall(ByteReader& in)
        : flags(in.Byte()),
          input(in.Bytes(in.Word() % 200)),
          output(InPlace() ? std::max<size_t>(input.size(), in.Word() % 200) : in.Word() % 200) {
        if (InPlace()) std::copy(input.begin(), input.end(), output.Data());
    }

    bool InPlace() const { return (flags & 4) != 0; }
    const BYTE* Input() const {
        if (flags & 1) return nullptr;
        return InPlace() ? output.Data() : input.data();
    }
    BYTE* Output() { return (flags & 2) ? nullptr : output.Data(); }

    BYTE flags;
    std::vector<BYTE> input;
    GuardedBuffer<BYTE> output;
};

}  // namespace

void CipherSession::Initialize(ByteReader& in) {
    const BYTE d = in.Byte();
    const DWORD direction = d < 240 ? d % 3 : 0xFFFFFF00u | d;
    const BYTE k = in.Byte();
    const ULONGLONG keyLength = k % 4 != 3 ? 16 + 8 * (k % 4) : k >> 2;
    const BYTE m = in.Byte();
    const DWORD mode = m % 5 < 4 ? m % 5 : m;
    const BYTE flags = in.Byte();
    const std::vector<BYTE> key = in.Bytes(static_cast<size_t>(keyLength));
    const std::vector<BYTE> iv = in.Bytes(in.Byte() % 33);
    const BYTE* keyBytes = (flags & 1) || key.empty() ? nullptr : key.data();
    const BYTE* ivBytes = (flags & 2) || iv.empty() ? nullptr : iv.data();

    DWORD expected = ERROR_SUCCESS;
    if (stage_ != kIdle && stage_ != kInitialised) {
        expected = ERROR_INVALID_FUNCTION;
    } else if (keyBytes == nullptr || (keyLength != 16 && keyLength != 24 && keyLength != 32)) {
        expected = ERROR_INVALID_DATA;
    } else if (mode != kModeEcb && mode != kModeCbc && mode != kModeCfb1) {
        expected = ERROR_INVALID_PARAMETER;
    }

    DWORD error = kUnwritten;
    const bool ok = cipher_.Initialize(direction, keyBytes, keyLength, mode, ivBytes, iv.size(), &error);
    CheckAnswer(ok, error);
    FUZZ_CHECK(error == expected);
    if (ok) {
        stage_ = kInitialised;
        keyLength_ = keyLength;
    }
    CheckKeyLength();
}

void CipherSession::Update(ByteReader& in) {
    StreamCall call(in);
    DWORD error = kUnwritten;
    ULONGLONG produced = kUnwritten;
    const bool ok =
        cipher_.Update(call.Input(), call.input.size(), call.Output(), call.output.Space(), &produced, &error);
    CheckAnswer(ok, error);
    FUZZ_CHECK(call.output.Intact());
    FUZZ_CHECK(produced <= call.output.Space());

    // Update's block steps cannot answer 1, so 1 means refused.
    const bool refused = error == ERROR_INVALID_FUNCTION;
    if (stage_ == kProcessingOrFinished) {
        stage_ = refused ? kFinished : kProcessing;
    } else {
        FUZZ_CHECK(refused == (stage_ != kInitialised && stage_ != kProcessing));
        if (!refused) stage_ = kProcessing;
    }
    if (refused) FUZZ_CHECK(produced == 0);
    if (!refused && (call.Input() == nullptr || call.Output() == nullptr || call.output.Space() == 0)) {
        FUZZ_CHECK(error == ERROR_INVALID_DATA);
    }
    CheckKeyLength();
}

void CipherSession::Final(ByteReader& in) {
    const BYTE flags = in.Byte();
    GuardedBuffer<BYTE> output(in.Word() % 200);
    BYTE* out = (flags & 1) ? nullptr : output.Data();
    DWORD error = kUnwritten;
    ULONGLONG produced = kUnwritten;
    const bool ok = cipher_.Final(out, output.Space(), &produced, &error);
    CheckAnswer(ok, error);
    FUZZ_CHECK(output.Intact());
    FUZZ_CHECK(produced <= output.Space());

    if (stage_ == kProcessing || stage_ == kProcessingOrFinished) {
        if (stage_ == kProcessing && out == nullptr && output.Space() != 0) FUZZ_CHECK(error == ERROR_INVALID_DATA);
        stage_ = kFinished;
    } else {
        FUZZ_CHECK(error == ERROR_INVALID_FUNCTION && produced == 0);
    }
    CheckKeyLength();
}

void CipherSession::Convert(ByteReader& in) {
    StreamCall call(in);
    DWORD error = kUnwritten;
    ULONGLONG produced = kUnwritten;
    const bool ok =
        cipher_.Convert(call.Input(), call.input.size(), call.Output(), call.output.Space(), &produced, &error);
    CheckAnswer(ok, error);
    FUZZ_CHECK(call.output.Intact());
    // Written only on success.
    FUZZ_CHECK(ok ? produced <= call.output.Space() : produced == kUnwritten);

    if (stage_ == kIdle || stage_ == kFinished) {
        FUZZ_CHECK(error == ERROR_INVALID_FUNCTION);
    } else {
        stage_ = kProcessingOrFinished;
    }
    CheckKeyLength();
}

void CipherSession::Reset() {
    DWORD error = kUnwritten;
    const bool ok = cipher_.Reset(&error);
    CheckAnswer(ok, error);
    FUZZ_CHECK(ok == (stage_ != kIdle));
    stage_ = kIdle;
    keyLength_ = 0;
    CheckKeyLength();
}

// 0 when idle, the key's length from a successful Initialize until Reset.
void CipherSession::CheckKeyLength() const { FUZZ_CHECK(cipher_.GetKeyLength() == keyLength_); }

}  // namespace Fuzz
