// fuzz-calls.exe [--seed S] [--count N | --case N]: hostile requests through
// the real Interface_FastCall_CallFunc of the Tavrel.dll beside it, loaded
// as the suite's host loads it, with real Jorvex handles. Each call must
// answer 0x20ff0000 and leave the request, the response (but for task 1's
// "PcAppCtrlAppList", which must equal a plain task-1 call's at the start)
// and the number of live JSON handles as they were.
#include "Fuzz.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/HostSession.h"

namespace {

// Hostile requests and responses as JSON text, from one recursive generator:
// mostly the members the module reads, each now and then of any type; long
// and broken strings; nesting past Jorvex's limit of 256; text cut short.
// No number it writes can be a process id: each is 0, an integer that is no
// multiple of 4 (Windows hands out multiples of 4), or one the module cannot
// read as a 32-bit unsigned number and takes as 0. So wherever a number
// lands, task 0 cannot close a real window.
class JsonGenerator {
public:
    explicit JsonGenerator(WineFuzz::Rng& rng) : r_(rng) {}

    // About 1% run task 1, whose Start Menu scan takes some 25 ms under Wine.
    std::wstring Request() { return CutShort(Value(L"<request>", 4)); }
    std::wstring Response() { return r_.Chance(600) ? L"{}" : CutShort(Value(L"<response>", 3)); }

private:
    // The value of member `name` (or of a context in <>), `depth` levels deep.
    std::wstring Value(const std::wstring& name, int depth) {
        if (r_.Chance(850)) {
            if (name == L"<request>") return Object({L"TaskID", L"TaskParam"}, depth);
            if (name == L"<response>") return Object({L"PcAppCtrlAppList", nullptr}, depth);
            // Only here may a number be any, as no process id is read from it.
            if (name == L"TaskID" && r_.Chance(15)) return r_.Pick({L"1", L"1.0", L"1e0"});
            if (name == L"TaskID" && r_.Chance(800)) return r_.Pick({L"0", L"-0", L"0.0", L"\"1\""});
            if (name == L"TaskID") return r_.Chance(500) ? std::to_wstring(2 + r_.Below(30)) : Number();
            if (name == L"TaskParam") return Object({L"PcAppStopList"}, depth);
            if (name == L"PcAppStopList") return Array(L"<stop item>", depth);
            if (name == L"<stop item>") return Object({L"PcAppStopPid", L"PcAppStopFilePath"}, depth);
            if (name == L"PcAppStopPid") return Number();
            if (name == L"PcAppStopFilePath") return String(100000);
        }
        const uint64_t kind = r_.Below(depth > 0 ? 9 : 5);
        if (kind == 0) return r_.Pick({L"null", L"true", L"false"});
        if (kind < 3) return Number();
        if (kind < 5) return String(1000);
        if (kind < 7) return kind == 5 ? Array(L"", depth) : Object({}, depth);
        const size_t levels = r_.Chance(500) ? r_.Below(40) : r_.Pick<size_t>({250, 255, 256, 257, 300});
        const std::wstring open = kind == 7 ? L"[" : L"{\"PcAppStopList\":";
        std::wstring text;
        for (size_t i = 0; i < levels; ++i) text += open;
        return text + Number() + std::wstring(levels, kind == 7 ? L']' : L'}');
    }

    // The members `names`, each now and then left out, and now and then one
    // of any name (nullptr), the module's own among them, so some come twice.
    std::wstring Object(std::initializer_list<const wchar_t*> names, int depth) {
        std::wstring text;
        auto add = [&](const wchar_t* name) {
            const bool anyText = !name && r_.Chance(300);
            const std::wstring key = name      ? name
                                     : anyText ? L""
                                               : r_.Pick({L"TaskID", L"TaskParam", L"PcAppStopList", L"PcAppStopPid",
                                                          L"PcAppStopFilePath", L"PcAppCtrlAppList", L"taskid", L""});
            text += (text.empty() ? L"" : L",") + (anyText ? String(300) : L"\"" + key + L"\"") + L":" +
                    Value(key, depth - 1);
        };
        for (const wchar_t* name : names) {
            if (r_.Chance(900)) add(name);
        }
        while (r_.Chance(names.size() == 0 ? 600 : 50)) add(nullptr);
        return L"{" + text + L"}";
    }

    std::wstring Array(const std::wstring& element, int depth) {
        std::wstring text;
        for (size_t i = r_.Chance(980) ? r_.Below(6) : r_.Length(1000); i > 0; --i) {
            text += (text.empty() ? L"" : L",") + Value(element, depth - 1);
        }
        return L"[" + text + L"]";
    }

    std::wstring Number() {
        if (r_.Chance(300)) return r_.Pick({L"0", L"-0", L"0.0", L"1", L"2", L"3", L"-1", L"-4", L"1.5", L"5e0"});
        if (r_.Chance(400)) {
            return r_.Pick({L"4294967295", L"4294967296", L"4294967300", L"18446744073709551616", L"1e19", L"1e400",
                            L"-1e308", L"1e-300", L"123456789012345678901234567890", L"4294967295.5"});
        }
        const std::wstring value = std::to_wstring(r_.Below(1ull << 32) | (1 + r_.Below(3)));
        return r_.Pick<std::wstring>({value, value + L".0", value + L".5", L"-" + value, value + L"e0"});
    }

    // Up to `longest` characters, now and then around MAX_PATH: escapes,
    // \u0000, non-ASCII, surrogates paired and not (read as U+FFFD), % pairs;
    // rarely an escaped unpaired one, which makes the whole text malformed.
    std::wstring String(size_t longest) {
        std::wstring text = L"\"";
        for (size_t i = r_.Chance(30) ? r_.Pick<size_t>({259, 260, 261, longest}) : r_.Length(longest); i > 0; --i) {
            const uint64_t kind = r_.Below(100);
            if (kind < 60) {
                text += L"abcXYZ019 ._-:~$"[r_.Below(16)];
            } else if (kind < 85) {
                text +=
                    r_.Pick({L"\\\\", L"\\\\", L"c:", L"%", L"%%", L"%PATH%", L".exe", L"\\\"", L"\\n", L"\\u0000"});
            } else if (kind < 92) {
                text += r_.Pick<wchar_t>({0xE9, 0x416, 0x4E2D, 0xA0, 0xFEFF, 0xFFFF, 0x2028});
            } else {
                text += wchar_t(0xD800 + r_.Below(0x800));
                if (kind < 96) text += wchar_t(0xDC00 + r_.Below(0x400));
            }
        }
        return text + (r_.Chance(10) ? L"\\udc00\"" : L"\"");
    }

    // Text cut short reads only as a top-level scalar, never as a stop list.
    std::wstring CutShort(const std::wstring& text) {
        return r_.Chance(20) ? text.substr(0, r_.Below(text.size() + 1)) : text;
    }

    WineFuzz::Rng& r_;
};

// A value the driver owns. Text the library refuses leaves it null, as the
// module then finds it.
class Json {
public:
    explicit Json(const std::wstring& text = L"null") {
        VESK_PA_JsonValue_CreateJsonHandle(&handle_);
        VESK_PA_JsonValue_Reader(handle_, text.c_str());
    }
    ~Json() { VESK_PA_JsonValue_DestroyJsonHandle(&handle_); }
    Json(const Json&) = delete;
    Json& operator=(const Json&) = delete;
    JsonHandle* Get() { return &handle_; }
    JsonHandle operator*() const { return handle_; }
    std::wstring Text() const {
        uint32_t length = 0;
        VESK_PA_JsonValue_Writer(handle_, nullptr, &length);
        std::wstring text(length, L'\0');
        uint32_t capacity = length + 1;
        return VESK_PA_JsonValue_Writer(handle_, text.data(), &capacity) < 0 ? L"(unwritable)" : text;
    }

private:
    JsonHandle handle_ = JSON_HANDLE_DEFAULT_INIT;
};

}  // namespace

int wmain(int argc, wchar_t** argv) try {
    TavrelHost::ComApartment apartment;
    TavrelHost::PluginModule plugin;
    DWORD version = 0;
    plugin.Versioning(&version);
    plugin.Initialize();
    Json reference, listRequest(L"{\"TaskID\":1}"), listResponse(L"{}");
    plugin.CallFunc(listRequest.Get(), listResponse.Get());
    JsonHandle list = JSON_HANDLE_DEFAULT_INIT;
    VESK_PA_JsonValue_GetAtKey(*listResponse, &list, L"PcAppCtrlAppList");
    VESK_PA_JsonValue_PutJsonHandle(*reference, list);
    std::fwprintf(stdout, L"task 1 lists %u applications\n", VESK_PA_JsonValue_GetSize(*reference));

    const int status = WineFuzz::Run(argc, argv, L"calls", [&](WineFuzz::Rng& rng) {
        JsonGenerator generate(rng);
        const std::wstring text = generate.Request();
        Json request(text), response(generate.Response()), expected;
        JsonHandle id = JSON_HANDLE_DEFAULT_INIT, list = JSON_HANDLE_DEFAULT_INIT;
        uint32_t task = 0;
        // A missing or unreadable "TaskID" runs task 0.
        VESK_PA_JsonValue_GetAtKey(*request, &id, L"TaskID");
        const bool taskOne = VESK_PA_JsonValue_GetUInt(id, &task) >= 0 && task == 1;
        const std::wstring requestBefore = request.Text();
        VESK_PA_JsonValue_PutJsonHandle(*expected, *response);
        // A response that is neither an object nor null gets no member.
        if (taskOne && VESK_PA_JsonValue_GetSize(*reference) > 0 &&
            VESK_PA_JsonValue_GetAtKey(*expected, &list, L"PcAppCtrlAppList") != JORVEX_E_WRONG_TYPE) {
            VESK_PA_JsonValue_PutJsonHandle(list, *reference);
        }
        const uint32_t handles = VESK_PA_JsonValue_GetLiveHandleCount();
        const DWORD answer = plugin.CallFunc(request.Get(), response.Get());
        const std::wstring failure = [&]() -> std::wstring {
            if (answer != Tavrel::kStatusSuccess) return L"status " + std::to_wstring(answer);
            if (request.Text() != requestBefore) return L"the request changed";
            if (response.Text() != expected.Text()) return taskOne ? L"task 1 differs" : L"the response changed";
            if (VESK_PA_JsonValue_GetLiveHandleCount() != handles) return L"live JSON handles changed";
            return {};
        }();
        return failure.empty() ? failure : failure + L"; request " + text.substr(0, 200);
    });
    plugin.Uninitialize();
    return status;
} catch (const TavrelHost::HostError& e) {
    std::fwprintf(stderr, L"fuzz-calls: %ls\n", e.Message().c_str());
    return 2;
}
