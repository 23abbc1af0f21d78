#include "jorvex/HandlePool.h"

#include <algorithm>
#include <cstring>

#include "support/Check.h"

namespace Fuzz {

namespace {

JsonHandle DefaultHandle() { return JSON_HANDLE_DEFAULT_INIT; }

const JsonHandle* Choose(const std::vector<JsonHandle>& handles, std::uint8_t choice) {
    return handles.empty() ? nullptr : &handles[choice % handles.size()];
}

}  // namespace

bool SameHandle(const JsonHandle& a, const JsonHandle& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

HandlePool::~HandlePool() {
    for (JsonHandle& handle : owned_) FUZZ_CHECK(VESK_PA_JsonValue_DestroyJsonHandle(&handle) == JORVEX_OK);
    owned_.clear();
    CheckLiveCount();
    for (const JsonHandle& view : views_) {
        std::uint32_t number = 0;
        FUZZ_CHECK(VESK_PA_JsonValue_GetUInt(view, &number) == JORVEX_E_BAD_HANDLE);
    }
}

JsonHandle HandlePool::Pick(ByteReader& in) const {
    const std::uint8_t choice = in.Byte();
    const JsonHandle* known = nullptr;
    switch (choice % 8) {
        case 0:
            return DefaultHandle();
        case 1: {
            JsonHandle madeUp;
            const std::vector<std::uint8_t> words = in.Bytes(sizeof madeUp);
            std::memcpy(&madeUp, words.data(), sizeof madeUp);
            return madeUp;
        }
        case 2: {
            // A known handle with one byte changed: the seal must catch it.
            known = Choose(choice & 0x80 ? views_ : owned_, in.Byte());
            if (known == nullptr) return DefaultHandle();
            JsonHandle mutated = *known;
            const std::uint8_t where = in.Byte();
            reinterpret_cast<std::uint8_t*>(&mutated)[where % sizeof mutated] ^=
                static_cast<std::uint8_t>(1 + where / 24);
            return mutated;
        }
        case 3:
        case 4:
            known = Choose(owned_, choice / 8);
            break;
        default:
            known = Choose(views_, choice / 8);
            break;
    }
    return known != nullptr ? *known : DefaultHandle();
}

void HandlePool::AddView(const JsonHandle& handle) {
    if (views_.size() < kMaxViews) {
        views_.push_back(handle);
    } else {
        views_[nextView_++ % kMaxViews] = handle;
    }
}

void HandlePool::Destroy(ByteReader& in) {
    const std::uint8_t choice = in.Byte();
    const bool ownedOne = choice % 2 == 0 && !owned_.empty();
    const size_t index = ownedOne ? choice / 2 % owned_.size() : 0;
    JsonHandle handle = ownedOne ? owned_[index] : Pick(in);
    const JsonHandle before = handle;
    const bool isOwned =
        std::any_of(owned_.begin(), owned_.end(), [&](const JsonHandle& h) { return SameHandle(h, handle); });

    const JorvexStatus status = VESK_PA_JsonValue_DestroyJsonHandle(&handle);
    FUZZ_CHECK((status == JORVEX_OK) == isOwned);
    if (status == JORVEX_OK) {
        FUZZ_CHECK(SameHandle(handle, DefaultHandle()));
        owned_.erase(
            std::find_if(owned_.begin(), owned_.end(), [&](const JsonHandle& h) { return SameHandle(h, before); }));
    } else {
        FUZZ_CHECK(status == JORVEX_E_BAD_HANDLE);
        FUZZ_CHECK(SameHandle(handle, before));
    }
    CheckLiveCount();
}

void HandlePool::CheckLiveCount() const { FUZZ_CHECK(VESK_PA_JsonValue_GetLiveHandleCount() == owned_.size()); }

}  // namespace Fuzz
