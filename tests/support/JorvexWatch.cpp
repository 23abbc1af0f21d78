#include "JorvexWatch.h"

#include <utility>

#include "ImportPatch.h"

namespace TestSupport {

struct JorvexWatch::State {
    std::unique_ptr<ImportPatch> destroy, create, share, getAtKey, getString;
    int refusedReleases = 0;
    JorvexStatus createFailure = 0, shareFailure = 0;
    std::wstring throwKey;
    std::function<void()> raise;
    std::vector<uint32_t> lengthsPassed;
};

namespace {

// The patched functions are plain functions: they find the watch here.
JorvexWatch::State* g_watch = nullptr;

JorvexStatus JORVEX_CALL Destroy(JsonHandle* handle) {
    const JorvexStatus status = g_watch->destroy->OriginalAs<decltype(&Destroy)>()(handle);
    if (status < 0) ++g_watch->refusedReleases;
    return status;
}

JorvexStatus JORVEX_CALL Create(JsonHandle* out) {
    if (const JorvexStatus failure = std::exchange(g_watch->createFailure, 0)) return failure;
    return g_watch->create->OriginalAs<decltype(&Create)>()(out);
}

JorvexStatus JORVEX_CALL Share(JsonHandle source, JsonHandle* out) {
    if (const JorvexStatus failure = std::exchange(g_watch->shareFailure, 0)) return failure;
    return g_watch->share->OriginalAs<decltype(&Share)>()(source, out);
}

JorvexStatus JORVEX_CALL GetAtKey(JsonHandle object, JsonHandle* out, const wchar_t* key) {
    if (!g_watch->throwKey.empty() && key != nullptr && g_watch->throwKey == key) g_watch->raise();
    return g_watch->getAtKey->OriginalAs<decltype(&GetAtKey)>()(object, out, key);
}

JorvexStatus JORVEX_CALL GetString(JsonHandle value, wchar_t* buffer, uint32_t* length) {
    g_watch->lengthsPassed.push_back(length != nullptr ? *length : 0xffffffff);
    return g_watch->getString->OriginalAs<decltype(&GetString)>()(value, buffer, length);
}

std::unique_ptr<ImportPatch> Patch(const char* function, void* replacement) {
    return std::make_unique<ImportPatch>("Jorvex.dll", function, replacement);
}

}  // namespace

JorvexWatch::JorvexWatch() : state_(std::make_unique<State>()) {
    g_watch = state_.get();
    g_watch->destroy = Patch("VESK_PA_JsonValue_DestroyJsonHandle", reinterpret_cast<void*>(&Destroy));
    g_watch->create = Patch("VESK_PA_JsonValue_CreateJsonHandle", reinterpret_cast<void*>(&Create));
    g_watch->share = Patch("VESK_PA_JsonValue_ShareJsonHandle", reinterpret_cast<void*>(&Share));
    g_watch->getAtKey = Patch("VESK_PA_JsonValue_GetAtKey", reinterpret_cast<void*>(&GetAtKey));
    g_watch->getString = Patch("VESK_PA_JsonValue_GetString", reinterpret_cast<void*>(&GetString));
}

JorvexWatch::~JorvexWatch() { g_watch = nullptr; }

int JorvexWatch::RefusedReleases() const { return state_->refusedReleases; }
void JorvexWatch::FailNextCreate(JorvexStatus status) { state_->createFailure = status; }
void JorvexWatch::FailNextShare(JorvexStatus status) { state_->shareFailure = status; }
void JorvexWatch::ThrowOnKey(const std::wstring& key, std::function<void()> raise) {
    state_->throwKey = key;
    state_->raise = std::move(raise);
}
const std::vector<uint32_t>& JorvexWatch::StringLengthsPassed() const { return state_->lengthsPassed; }

}  // namespace TestSupport
