// The exported functions: argument checks, the lock, and the status mapping.
// The work itself is in Registry, PathResolution and JsonText.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "Boundary.h"
#include "HandleCodec.h"
#include "Json.h"
#include "JsonText.h"
#include "Jorvex/JsonValue.h"
#include "PathResolution.h"
#include "Registry.h"
#include "Utf.h"

using namespace Jorvex;

namespace {

Registry& State() { return Registry::Instance(); }

const Json* FindValue(const Target& target) { return Find(target.tree->root, target.tree->paths.Steps(target.path)); }

// Runs `read` on the value that `handle` designates, under the lock: the
// lookup's failure, or what `read` answers.
template <typename Read>
JorvexStatus WithValue(const JsonHandle& handle, Read read) {
    auto lock = State().Lock();
    const auto target = State().Resolve(handle);
    if (!target) {
        return JORVEX_E_BAD_HANDLE;
    }
    const Json* found = FindValue(*target);
    if (found == nullptr) {
        return JORVEX_E_NOT_FOUND;
    }
    return read(*found);
}

JorvexStatus PutValue(const JsonHandle& handle, Json&& value) {
    auto lock = State().Lock();
    const auto target = State().Resolve(handle);
    if (!target) {
        return JORVEX_E_BAD_HANDLE;
    }
    return Place(target->tree->root, target->tree->paths.Steps(target->path), std::move(value));
}

// A JSON number as a 32-bit unsigned integer, or the reason it is not one.
JorvexStatus ToUInt32(const Json& value, uint32_t& number) {
    if (value.is_number_unsigned()) {
        const auto raw = value.get<uint64_t>();
        if (raw > UINT32_MAX) {
            return JORVEX_E_OUT_OF_RANGE;
        }
        number = static_cast<uint32_t>(raw);
        return JORVEX_OK;
    }
    if (value.is_number_integer()) {
        // Only negatives reach here: the parser stores others as unsigned.
        const auto raw = value.get<int64_t>();
        if (raw < 0 || raw > static_cast<int64_t>(UINT32_MAX)) {
            return JORVEX_E_OUT_OF_RANGE;
        }
        number = static_cast<uint32_t>(raw);
        return JORVEX_OK;
    }
    if (value.is_number_float()) {
        // Other writers print whole numbers as 3.0 or 1e2; those count.
        const double raw = value.get<double>();
        if (std::trunc(raw) != raw) {
            return JORVEX_E_WRONG_TYPE;
        }
        if (raw < 0 || raw > static_cast<double>(UINT32_MAX)) {
            return JORVEX_E_OUT_OF_RANGE;
        }
        number = static_cast<uint32_t>(raw);
        return JORVEX_OK;
    }
    return JORVEX_E_WRONG_TYPE;
}

}  // namespace

extern "C" {

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_CreateJsonHandle(JsonHandle* out) {
    if (out == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] {
        auto lock = State().Lock();
        *out = State().CreateTree();
        return JORVEX_OK;
    });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_ShareJsonHandle(JsonHandle source, JsonHandle* out) {
    if (out == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] {
        auto lock = State().Lock();
        const auto target = State().Resolve(source);
        if (!target) {
            return JORVEX_E_BAD_HANDLE;
        }
        *out = State().AddOwner(*target);
        return JORVEX_OK;
    });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_DestroyJsonHandle(JsonHandle* handle) {
    if (handle == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] {
        // Declared before the lock so that a large tree is freed after unlocking.
        std::unique_ptr<Tree> doomed;
        auto lock = State().Lock();
        const JorvexStatus status = State().Release(*handle, doomed);
        if (status == JORVEX_OK) {
            *handle = DefaultHandle();
        }
        lock.unlock();
        return status;
    });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetAtKey(JsonHandle object, JsonHandle* out, const wchar_t* key) {
    if (out == nullptr || key == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] {
        const std::string name = ToUtf8(key);
        auto lock = State().Lock();
        const auto target = State().Resolve(object);
        if (!target) {
            return JORVEX_E_BAD_HANDLE;
        }
        const Json* value = FindValue(*target);
        if (value != nullptr && !value->is_object() && !value->is_null()) {
            return JORVEX_E_WRONG_TYPE;
        }
        uint64_t member = 0;
        const JorvexStatus status = target->tree->paths.Member(target->path, name, member);
        if (status != JORVEX_OK) {
            return status;
        }
        *out = State().MakeView(target->treeId, member);
        return value != nullptr && value->contains(name) ? JORVEX_OK : JORVEX_E_NOT_FOUND;
    });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetAtIndex(JsonHandle array, JsonHandle* out, uint32_t index) {
    if (out == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] {
        auto lock = State().Lock();
        const auto target = State().Resolve(array);
        if (!target) {
            return JORVEX_E_BAD_HANDLE;
        }
        const Json* value = FindValue(*target);
        if (value != nullptr && !value->is_array() && !value->is_null()) {
            return JORVEX_E_WRONG_TYPE;
        }
        uint64_t element = 0;
        const JorvexStatus status = target->tree->paths.Element(target->path, index, element);
        if (status != JORVEX_OK) {
            return status;
        }
        *out = State().MakeView(target->treeId, element);
        return value != nullptr && index < value->size() ? JORVEX_OK : JORVEX_E_NOT_FOUND;
    });
}

uint32_t JORVEX_CALL VESK_PA_JsonValue_GetSize(JsonHandle array) {
    uint32_t size = 0;
    Guarded([&] {
        auto lock = State().Lock();
        const auto target = State().Resolve(array);
        const Json* value = target ? FindValue(*target) : nullptr;
        if (value != nullptr && value->is_array()) {
            size = static_cast<uint32_t>(std::min<size_t>(value->size(), UINT32_MAX));
        }
        return JORVEX_OK;
    });
    return size;
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetUInt(JsonHandle value, uint32_t* out) {
    if (out == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] {
        return WithValue(value, [&](const Json& found) {
            uint32_t number = 0;
            const JorvexStatus status = ToUInt32(found, number);
            if (status == JORVEX_OK) {
                *out = number;
            }
            return status;
        });
    });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetString(JsonHandle value, wchar_t* buffer, uint32_t* length) {
    if (length == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] {
        std::wstring text;
        const JorvexStatus status = WithValue(value, [&](const Json& found) {
            if (!found.is_string()) {
                return JORVEX_E_WRONG_TYPE;
            }
            text = ToUtf16(found.get_ref<const std::string&>());
            return JORVEX_OK;
        });
        return status == JORVEX_OK ? CopyOut(text, buffer, length) : status;
    });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutUInt(JsonHandle value, uint32_t number) {
    return Guarded([&] { return PutValue(value, Json(number)); });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutString(JsonHandle value, const wchar_t* text) {
    if (text == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] { return PutValue(value, Json(ToUtf8(text))); });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutBool(JsonHandle value, uint8_t flag) {
    return Guarded([&] { return PutValue(value, Json(flag != 0)); });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutJsonHandle(JsonHandle target, JsonHandle source) {
    return Guarded([&] {
        auto lock = State().Lock();
        const auto to = State().Resolve(target);
        const auto from = State().Resolve(source);
        if (!to || !from) {
            return JORVEX_E_BAD_HANDLE;
        }
        const Json* found = FindValue(*from);
        if (found == nullptr) {
            return JORVEX_E_NOT_FOUND;
        }
        // Copy before placing: source may sit inside target, or the reverse.
        Json copy = *found;
        return Place(to->tree->root, to->tree->paths.Steps(to->path), std::move(copy));
    });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_Reader(JsonHandle value, const wchar_t* text) {
    if (text == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] {
        size_t pathLength = 0;
        {
            auto lock = State().Lock();
            const auto target = State().Resolve(value);
            if (!target) {
                return JORVEX_E_BAD_HANDLE;
            }
            pathLength = target->tree->paths.Length(target->path);
        }
        // Parse without the lock: a large text should not stall other threads.
        // A path never changes length, and PutValue checks the handle again.
        Json parsed = ParseText(ToUtf8(text), JORVEX_MAX_DEPTH - pathLength);
        return PutValue(value, std::move(parsed));
    });
}

JorvexStatus JORVEX_CALL VESK_PA_JsonValue_Writer(JsonHandle value, wchar_t* buffer, uint32_t* length) {
    if (length == nullptr) {
        return JORVEX_E_BAD_ARGUMENT;
    }
    return Guarded([&] {
        std::string text;
        const JorvexStatus status = WithValue(value, [&](const Json& found) {
            text = WriteText(found);
            return JORVEX_OK;
        });
        return status == JORVEX_OK ? CopyOut(ToUtf16(text), buffer, length) : status;
    });
}

uint32_t JORVEX_CALL VESK_PA_JsonValue_GetLiveHandleCount(void) {
    uint32_t count = 0;
    Guarded([&] {
        auto lock = State().Lock();
        count = static_cast<uint32_t>(std::min<size_t>(State().OwnerCount(), UINT32_MAX));
        return JORVEX_OK;
    });
    return count;
}

}  // extern "C"
