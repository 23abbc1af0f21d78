#include "RequestGenerator.h"

#include "JsonPieces.h"

namespace WineFuzz {

CallCase RequestGenerator::Next() {
    std::wstring request = Request();
    return {std::move(request), Response()};
}

std::wstring RequestGenerator::Request() {
    if (rng_.Chance(20)) return AnyValue(rng_, 3);
    if (rng_.Chance(10)) return Malformed(Request());
    // Order matters to nobody but the reader; the generator draws it anyway.
    std::wstring taskId = TaskId(), taskParam = TaskParam();
    if (rng_.Chance(500)) return Object({{L"\"TaskParam\"", taskParam}, {L"\"TaskID\"", taskId}}, 950);
    return Object({{L"\"TaskID\"", taskId}, {L"\"TaskParam\"", taskParam}}, 950);
}

std::wstring RequestGenerator::TaskId() {
    const uint64_t kind = rng_.Below(1000);
    if (kind < 700) return rng_.OneOf({L"0", L"0.0", L"-0", L"0e5"});
    if (kind < 710) return rng_.OneOf({L"1", L"1", L"1.0", L"1e0", L"0.1e1", L"10e-1"});
    static const wchar_t* const kOdd[] = {L"\"1\"",
                                          L"\"0\"",
                                          L"1.5",
                                          L"-1",
                                          L"2",
                                          L"3",
                                          L"4",
                                          L"7",
                                          L"65535",
                                          L"4294967295",
                                          L"4294967296",
                                          L"18446744073709551616",
                                          L"1e400",
                                          L"[1]",
                                          L"[]",
                                          L"{}",
                                          L"{\"TaskID\":1}",
                                          L"null",
                                          L"true",
                                          L"false"};
    if (kind < 950) return rng_.Pick(kOdd);
    return AnyValue(rng_, 2);
}

std::wstring RequestGenerator::TaskParam() {
    if (rng_.Chance(800)) return Object({{L"\"PcAppStopList\"", StopList()}}, 900);
    return AnyValue(rng_, 3);
}

std::wstring RequestGenerator::StopList() {
    if (rng_.Chance(150)) return rng_.Chance(300) ? Nested(rng_, HostileDepth(rng_)) : AnyValue(rng_, 2);
    std::wstring list = L"[";
    const size_t count = rng_.Chance(980) ? static_cast<size_t>(rng_.Below(6)) : SkewedLength(rng_, 1000);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) list += L",";
        list += rng_.Chance(800) ? StopItem() : AnyValue(rng_, 2);
    }
    return list + L"]";
}

std::wstring RequestGenerator::StopItem() {
    std::wstring pid = Pid(), path = Path();
    if (rng_.Chance(30)) return Object({{L"\"PcAppStopPid\"", pid}, {L"\"PcAppStopPid\"", Pid()}}, 1000);
    return Object({{L"\"PcAppStopPid\"", pid}, {L"\"PcAppStopFilePath\"", path}}, 900);
}

std::wstring RequestGenerator::Pid() {
    const uint64_t kind = rng_.Below(100);
    if (kind < 10) return L"0";
    if (kind < 65) {
        static const wchar_t* const kEdges[] = {L"1",          L"2",          L"3",          L"5",
                                                L"4294967295", L"4294967294", L"2147483647", L"2147483649"};
        // An integer below 2^32 that is no multiple of 4.
        if (rng_.Chance(300)) return rng_.Pick(kEdges);
        return std::to_wstring(rng_.Below(1ull << 32) | rng_.Between(1, 3));
    }
    if (kind < 85) return SafeNumber(rng_);
    if (kind < 90) return L"\"" + std::to_wstring(rng_.Below(1000) * 4) + L"\"";
    if (kind < 93) return Nested(rng_, HostileDepth(rng_));
    return AnyValue(rng_, 2);
}

std::wstring RequestGenerator::Path() {
    if (rng_.Chance(850)) return StringOfAnyLength(rng_, 100000);
    return AnyValue(rng_, 2);
}

std::wstring RequestGenerator::Response() {
    const uint64_t kind = rng_.Below(100);
    if (kind < 60) return L"{}";
    if (kind < 80) {
        return Object({{L"\"PcAppCtrlAppList\"", AnyValue(rng_, 2)}, {AnyKey(rng_), AnyValue(rng_, 2)}}, 500);
    }
    if (kind < 97) return AnyValue(rng_, 2);
    return Malformed(AnyValue(rng_, 2));
}

std::wstring RequestGenerator::Object(std::initializer_list<std::pair<std::wstring, std::wstring>> members,
                                      unsigned perMille) {
    std::wstring text = L"{";
    auto add = [&text](const std::wstring& key, const std::wstring& value) {
        if (text.size() > 1) text += L",";
        text += key + L":" + value;
    };
    for (const auto& [key, value] : members) {
        if (rng_.Chance(perMille)) add(key, value);
    }
    if (rng_.Chance(100)) add(AnyKey(rng_), AnyValue(rng_, 2));
    return text + L"}";
}

std::wstring RequestGenerator::Malformed(const std::wstring& text) {
    if (text.empty() || rng_.Chance(500)) return text.substr(0, rng_.Below(text.size() + 1));
    std::wstring broken = text;
    broken.insert(rng_.Below(text.size() + 1), 1, rng_.OneOf({L'{', L']', L',', L'"', L'\\', L':'}));
    return broken;
}

}  // namespace WineFuzz
