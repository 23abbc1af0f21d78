#include "FakeQuennet.h"

#include "Platform/Quennet/include/Quennet/Log.h"

namespace FakeQuennet {
namespace {

struct State {
    uintptr_t handle = 0;
    uint32_t level = 0;
    std::vector<Message> messages;
    std::vector<std::wstring> levelQueries;
};

State& Current() {
    static State state;
    return state;
}

}  // namespace

void Reset(uintptr_t handle, uint32_t level) {
    Current() = State{};
    Current().handle = handle;
    Current().level = level;
}

const std::vector<Message>& Messages() { return Current().messages; }
const std::vector<std::wstring>& LevelQueries() { return Current().levelQueries; }

std::vector<std::wstring> Texts() {
    std::vector<std::wstring> texts;
    for (const Message& message : Current().messages) texts.push_back(message.text);
    return texts;
}

}  // namespace FakeQuennet

extern "C" {

int32_t QUENNET_CALL Log_ConstructServer(const wchar_t*) { return 0; }

QuennetHandle QUENNET_CALL Log_GetDefaultHandle(void) {
    return reinterpret_cast<QuennetHandle>(FakeQuennet::Current().handle);
}

uint32_t QUENNET_CALL Log_GetLogLevel(QuennetHandle handle, const wchar_t* module) {
    FakeQuennet::Current().levelQueries.push_back(module ? module : L"(null)");
    return handle == nullptr ? 0 : FakeQuennet::Current().level;
}

int32_t QUENNET_CALL Log_Flush(QuennetHandle, const wchar_t* module, uint32_t level, const wchar_t* sourceFile,
                               uint32_t line, const wchar_t* text, uint32_t byteCount) {
    FakeQuennet::Current().messages.push_back({module ? module : L"(null)", level, sourceFile ? sourceFile : L"(null)",
                                               line, byteCount,
                                               text ? std::wstring(text, byteCount / sizeof(wchar_t)) : L""});
    return 0;
}

}  // extern "C"
