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

void SetLevel(uint32_t level) { Current().level = level; }
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
    FakeQuennet::Message message;
    message.module = module ? module : L"(null)";
    message.level = level;
    message.sourceFile = sourceFile ? sourceFile : L"(null)";
    message.line = line;
    message.textWasNull = text == nullptr;
    message.byteCount = byteCount;
    if (text != nullptr) message.text.assign(text, byteCount / sizeof(wchar_t));
    FakeQuennet::Current().messages.push_back(message);
    return 0;
}

}  // extern "C"
