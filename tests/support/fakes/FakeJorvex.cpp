#include "FakeJorvex.h"

#include <stdexcept>

namespace FakeJorvex {
namespace {

constexpr uint64_t kTag = 0xFA4E;

struct State {
    uint64_t nextId = 100;
    std::vector<Call> calls;
    std::map<std::string, int32_t> failures;
    std::wstring text;
    std::map<std::wstring, uint32_t> numbers;
    std::map<uint64_t, std::wstring> keyOfView;
    std::wstring throwKey;
    std::function<void()> raise;
    std::vector<uint64_t> owned;
    std::vector<uint64_t> destroyed;
};

State& Current() {
    static State state;
    return state;
}

// Records the call; answers true with the scripted failure when one is due.
bool Record(Call call, int32_t* failure) {
    auto& state = Current();
    auto due = state.failures.find(call.function);
    state.calls.push_back(std::move(call));
    if (due == state.failures.end()) return false;
    if (failure != nullptr) *failure = due->second;
    state.failures.erase(due);
    return true;
}

JsonHandle NewHandle() { return MakeHandle(Current().nextId++); }

}  // namespace

void Reset() { Current() = State{}; }
void FailNext(const std::string& function, int32_t status) { Current().failures[function] = status; }
void SetString(const std::wstring& text) { Current().text = text; }
void SetUInt(const std::wstring& key, uint32_t value) { Current().numbers[key] = value; }
void ThrowOnKey(const std::wstring& key, std::function<void()> raise) {
    Current().throwKey = key;
    Current().raise = raise ? std::move(raise) : [] { throw std::runtime_error("injected failure"); };
}
const std::vector<Call>& Calls() { return Current().calls; }
std::vector<uint64_t> OwnedIds() { return Current().owned; }
std::vector<uint64_t> DestroyedIds() { return Current().destroyed; }

int CountOf(const std::string& function) {
    int count = 0;
    for (const Call& call : Current().calls) count += call.function == function ? 1 : 0;
    return count;
}

uint64_t IdOf(const JsonHandle& handle) { return handle.Words[0] == kTag ? handle.Words[1] : 0; }
JsonHandle MakeHandle(uint64_t id) { return JsonHandle{{kTag, id, 0}}; }

}  // namespace FakeJorvex

using namespace FakeJorvex;

extern "C" {

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_CreateJsonHandle(JsonHandle* out) {
    int32_t failure = 0;
    if (Record({"Create"}, &failure)) return failure;
    *out = NewHandle();
    Current().calls.back().outId = IdOf(*out);
    Current().owned.push_back(IdOf(*out));
    return 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_ShareJsonHandle(JsonHandle source, JsonHandle* out) {
    int32_t failure = 0;
    if (Record({"Share", IdOf(source)}, &failure)) return failure;
    *out = NewHandle();
    Current().calls.back().outId = IdOf(*out);
    Current().owned.push_back(IdOf(*out));
    return 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_DestroyJsonHandle(JsonHandle* handle) {
    Record({"Destroy", IdOf(*handle)}, nullptr);
    Current().destroyed.push_back(IdOf(*handle));
    return 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetAtKey(JsonHandle object, JsonHandle* out, const wchar_t* key) {
    std::wstring name = key ? key : L"";
    if (!Current().throwKey.empty() && name == Current().throwKey) Current().raise();
    int32_t failure = 0;
    if (Record({"GetAtKey", IdOf(object), name}, &failure)) return failure;
    *out = NewHandle();
    Current().calls.back().outId = IdOf(*out);
    Current().keyOfView[IdOf(*out)] = name;
    return 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetAtIndex(JsonHandle array, JsonHandle* out, uint32_t index) {
    int32_t failure = 0;
    if (Record({"GetAtIndex", IdOf(array), L"", index}, &failure)) return failure;
    *out = NewHandle();
    Current().calls.back().outId = IdOf(*out);
    return 0;
}

uint32_t JORVEX_CALL VESK_PA_JsonValue_GetSize(JsonHandle array) {
    Record({"GetSize", IdOf(array)}, nullptr);
    return 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetUInt(JsonHandle value, uint32_t* out) {
    int32_t failure = 0;
    if (Record({"GetUInt", IdOf(value)}, &failure)) return failure;
    auto key = Current().keyOfView.find(IdOf(value));
    if (key == Current().keyOfView.end()) return JORVEX_E_NOT_FOUND;
    auto number = Current().numbers.find(key->second);
    if (number == Current().numbers.end()) return JORVEX_E_NOT_FOUND;
    *out = number->second;
    return 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetString(JsonHandle value, wchar_t* buffer, uint32_t* length) {
    int32_t failure = 0;
    if (Record({"GetString", IdOf(value), L"", *length}, &failure)) return failure;
    const std::wstring& text = Current().text;
    if (buffer == nullptr) {
        *length = static_cast<uint32_t>(text.size());
        return 0;
    }
    if (*length < text.size() + 1) return JORVEX_E_BUFFER_TOO_SMALL;
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
    return 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutUInt(JsonHandle value, uint32_t number) {
    int32_t failure = 0;
    return Record({"PutUInt", IdOf(value), L"", number}, &failure) ? failure : 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutString(JsonHandle value, const wchar_t* text) {
    int32_t failure = 0;
    return Record({"PutString", IdOf(value), text ? text : L""}, &failure) ? failure : 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutBool(JsonHandle value, uint8_t flag) {
    int32_t failure = 0;
    return Record({"PutBool", IdOf(value), L"", flag}, &failure) ? failure : 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutJsonHandle(JsonHandle target, JsonHandle source) {
    int32_t failure = 0;
    Call call{"PutJsonHandle", IdOf(target)};
    call.outId = IdOf(source);
    return Record(call, &failure) ? failure : 0;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_Reader(JsonHandle value, const wchar_t* text) {
    int32_t failure = 0;
    return Record({"Reader", IdOf(value), text ? text : L""}, &failure) ? failure : 0;
}

}  // extern "C"
