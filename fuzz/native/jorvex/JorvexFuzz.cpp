// The Jorvex stand-in's exports under random sequences: JSON text for the
// Reader, keys, indexes, gets and puts, and handles live, released, mutated
// or made up. Output buffers are guarded; the live handle count must follow
// the driver's own and return to zero.
// Input: UTF-8 JSON text up to the first zero byte, read into a first value;
// then one operation byte and its arguments, repeated.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Jorvex/JsonValue.h"
#include "Utf.h"
#include "jorvex/HandlePool.h"
#include "support/ByteReader.h"
#include "support/Check.h"
#include "support/GuardedBuffer.h"

namespace {

using Fuzz::ByteReader;
using Fuzz::HandlePool;

constexpr JsonHandle kUnwritten = {{0x5A5A, 0x5A5A, 0x5A5A}};

// Text as the library takes it: NUL-terminated UTF-16 units, either raw
// words or the UTF-16 of UTF-8 bytes (readable JSON in the seeds).
std::wstring TextArgument(ByteReader& in) {
    if (in.Byte() % 2 == 0) return Jorvex::ToUtf16(in.Text());
    return in.Units(in.Byte() % 32);
}

bool IsStatus(JorvexStatus status) { return status <= JORVEX_OK && status >= JORVEX_E_INTERNAL; }

// The two-call length convention of GetString and Writer, with a buffer of
// random capacity: the text and its terminator when they fit, else an
// untouched buffer and the length needed. The text written, if any.
template <typename Call>
std::wstring ReadOut(ByteReader& in, Call call) {
    std::uint32_t needed = 0;
    const JorvexStatus first = call(nullptr, &needed);
    FUZZ_CHECK(IsStatus(first));
    if (first != JORVEX_OK) return {};
    FUZZ_CHECK(call(nullptr, nullptr) == JORVEX_E_BAD_ARGUMENT);

    const std::uint32_t capacity = in.Word() % (needed + 3);
    Fuzz::GuardedBuffer<wchar_t> buffer(capacity, L'\x5A5A');
    std::uint32_t length = capacity;
    const JorvexStatus second = call(buffer.Data(), &length);
    FUZZ_CHECK(buffer.Intact());
    if (capacity < needed + 1) {
        FUZZ_CHECK(second == JORVEX_E_BUFFER_TOO_SMALL && length == needed);
        for (std::uint32_t i = 0; i < capacity; ++i) FUZZ_CHECK(buffer.Data()[i] == L'\x5A5A');
        return {};
    }
    FUZZ_CHECK(second == JORVEX_OK && length == needed && buffer.Data()[length] == L'\0');
    return std::wstring(buffer.Data(), length);
}

// Writer's text reads back into a new value that writes the same text.
void CheckWriterRoundTrip(const std::wstring& text) {
    JsonHandle copy = JSON_HANDLE_DEFAULT_INIT;
    FUZZ_CHECK(VESK_PA_JsonValue_CreateJsonHandle(&copy) == JORVEX_OK);
    FUZZ_CHECK(VESK_PA_JsonValue_Reader(copy, text.c_str()) == JORVEX_OK);
    std::uint32_t length = 0;
    FUZZ_CHECK(VESK_PA_JsonValue_Writer(copy, nullptr, &length) == JORVEX_OK && length == text.size());
    std::wstring again(length + 1, L'\0');
    length = static_cast<std::uint32_t>(again.size());
    FUZZ_CHECK(VESK_PA_JsonValue_Writer(copy, again.data(), &length) == JORVEX_OK);
    again.resize(length);
    FUZZ_CHECK(again == text);
    FUZZ_CHECK(VESK_PA_JsonValue_DestroyJsonHandle(&copy) == JORVEX_OK);
}

// A lookup writes its view exactly when it answers OK or NOT_FOUND.
void Lookup(HandlePool& pool, JorvexStatus status, const JsonHandle& out) {
    FUZZ_CHECK(IsStatus(status));
    const bool viewWritten = status == JORVEX_OK || status == JORVEX_E_NOT_FOUND;
    FUZZ_CHECK(viewWritten != Fuzz::SameHandle(out, kUnwritten));
    if (viewWritten) pool.AddView(out);
}

void Step(HandlePool& pool, ByteReader& in) {
    switch (in.Byte() % 14) {
        case 0: {
            JsonHandle out = kUnwritten;
            FUZZ_CHECK(VESK_PA_JsonValue_CreateJsonHandle(&out) == JORVEX_OK);
            pool.AddOwned(out);
            break;
        }
        case 1: {
            JsonHandle out = kUnwritten;
            const JorvexStatus status = VESK_PA_JsonValue_ShareJsonHandle(pool.Pick(in), &out);
            FUZZ_CHECK(status == JORVEX_OK || status == JORVEX_E_BAD_HANDLE);
            FUZZ_CHECK((status == JORVEX_OK) != Fuzz::SameHandle(out, kUnwritten));
            if (status == JORVEX_OK) pool.AddOwned(out);
            break;
        }
        case 2:
            pool.Destroy(in);
            break;
        case 3: {
            const JsonHandle object = pool.Pick(in);
            const std::wstring key = TextArgument(in);
            JsonHandle out = kUnwritten;
            Lookup(pool, VESK_PA_JsonValue_GetAtKey(object, &out, key.c_str()), out);
            break;
        }
        case 4: {
            const JsonHandle array = pool.Pick(in);
            const std::uint8_t small = in.Byte();
            const std::uint32_t index = small < 240 ? small % 6 : 0xFFFFFF00u | small;
            JsonHandle out = kUnwritten;
            Lookup(pool, VESK_PA_JsonValue_GetAtIndex(array, &out, index), out);
            break;
        }
        case 5:
            VESK_PA_JsonValue_GetSize(pool.Pick(in));
            break;
        case 6: {
            std::uint32_t number = 0x5A5A5A5A;
            const JorvexStatus status = VESK_PA_JsonValue_GetUInt(pool.Pick(in), &number);
            FUZZ_CHECK(IsStatus(status));
            if (status != JORVEX_OK) FUZZ_CHECK(number == 0x5A5A5A5A);
            break;
        }
        case 7: {
            const JsonHandle value = pool.Pick(in);
            ReadOut(in, [&](wchar_t* buffer, std::uint32_t* length) {
                return VESK_PA_JsonValue_GetString(value, buffer, length);
            });
            break;
        }
        case 8: {
            const JsonHandle value = pool.Pick(in);
            const std::uint16_t low = in.Word();
            FUZZ_CHECK(IsStatus(VESK_PA_JsonValue_PutUInt(value, static_cast<std::uint32_t>(in.Word()) << 16 | low)));
            break;
        }
        case 9: {
            const JsonHandle value = pool.Pick(in);
            FUZZ_CHECK(IsStatus(VESK_PA_JsonValue_PutString(value, TextArgument(in).c_str())));
            break;
        }
        case 10: {
            const JsonHandle value = pool.Pick(in);
            FUZZ_CHECK(IsStatus(VESK_PA_JsonValue_PutBool(value, in.Byte())));
            break;
        }
        case 11: {
            const JsonHandle target = pool.Pick(in);
            FUZZ_CHECK(IsStatus(VESK_PA_JsonValue_PutJsonHandle(target, pool.Pick(in))));
            break;
        }
        case 12: {
            const JsonHandle value = pool.Pick(in);
            FUZZ_CHECK(IsStatus(VESK_PA_JsonValue_Reader(value, TextArgument(in).c_str())));
            break;
        }
        default: {
            const JsonHandle value = pool.Pick(in);
            const std::wstring text = ReadOut(in, [&](wchar_t* buffer, std::uint32_t* length) {
                return VESK_PA_JsonValue_Writer(value, buffer, length);
            });
            if (!text.empty()) CheckWriterRoundTrip(text);
            break;
        }
    }
    pool.CheckLiveCount();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    HandlePool pool;
    JsonHandle first = kUnwritten;
    FUZZ_CHECK(VESK_PA_JsonValue_CreateJsonHandle(&first) == JORVEX_OK);
    pool.AddOwned(first);
    const std::wstring text = Jorvex::ToUtf16(in.Text());
    FUZZ_CHECK(IsStatus(VESK_PA_JsonValue_Reader(first, text.c_str())));
    while (!in.Done()) Step(pool, in);
    return 0;
}
