#include "ExpandTarget.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "Tavrel/StartMenu/ExpandPathVariables.h"

namespace WineFuzz {
namespace {

// Never a variable the process or Wine relies on.
const wchar_t* const kNames[] = {L"FZA", L"FZB", L"FZC", L"fzc", L"FZ D", L"FZ\u00e9", L"FZ=E"};
const wchar_t* const kInherited[] = {L"SystemRoot", L"windir", L"USERPROFILE", L"PATH", L"NOSUCHVARIABLE"};
constexpr size_t kLongestKept = MAX_PATH - 1;

size_t Percents(const std::wstring& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), L'%')); }

bool InheritedValueHasPercent() {
    std::unique_ptr<wchar_t, decltype(&FreeEnvironmentStringsW)> block(GetEnvironmentStringsW(),
                                                                       &FreeEnvironmentStringsW);
    for (const wchar_t* entry = block.get(); entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1) {
        // Entries are NAME=VALUE; Wine's own "=C:=C:\..." entries start with '='.
        const wchar_t* equals = wcschr(entry + 1, L'=');
        if (equals != nullptr && wcschr(equals, L'%') != nullptr) return true;
    }
    return false;
}

// The case's variables for as long as it runs.
class CaseVariables {
public:
    explicit CaseVariables(const CaseFields& fields) {
        for (size_t i = 2; i + 1 < fields.size(); i += 2) {
            if (SetEnvironmentVariableW(fields[i].c_str(), fields[i + 1].c_str())) names_.push_back(fields[i]);
        }
    }
    ~CaseVariables() {
        for (const std::wstring& name : names_) SetEnvironmentVariableW(name.c_str(), nullptr);
    }
    CaseVariables(const CaseVariables&) = delete;
    CaseVariables& operator=(const CaseVariables&) = delete;

private:
    std::vector<std::wstring> names_;
};

}  // namespace

ExpandTarget::ExpandTarget(uint64_t seed) : rng_(seed), inheritedPercent_(InheritedValueHasPercent()) {}

std::wstring ExpandTarget::Name() { return rng_.Chance(900) ? rng_.Pick(kNames) : rng_.Pick(kInherited); }

std::wstring ExpandTarget::Value() {
    std::wstring value;
    const size_t length =
        rng_.Chance(200) ? static_cast<size_t>(rng_.OneOf({258, 259, 260, 261, 1000})) : SkewedLength(rng_, 300);
    while (value.size() < length) {
        const uint64_t kind = rng_.Below(100);
        if (kind < 60) {
            value += static_cast<wchar_t>(rng_.Between(L'a', L'z'));
        } else if (kind < 85) {
            value += L"%" + std::wstring(rng_.Pick(kNames)) + L"%";
        } else if (kind < 92) {
            value += L"%";
        } else {
            value += rng_.OneOf({L'\\', L'\u00e9', L'\xD800', L' '});
        }
    }
    return value.substr(0, length);
}

std::wstring ExpandTarget::Pattern() {
    std::wstring pattern;
    const size_t pieces = rng_.Chance(50) ? static_cast<size_t>(rng_.Between(60, 300)) : SkewedLength(rng_, 40);
    for (size_t i = 0; i < pieces; ++i) {
        const uint64_t kind = rng_.Below(100);
        if (kind < 40) {
            pattern += L"%" + Name() + L"%";
        } else if (kind < 55) {
            pattern += rng_.OneOf<const wchar_t*>({L"%", L"%%", L"%%%"});
        } else if (kind < 95) {
            pattern += rng_.OneOf<const wchar_t*>({L"C:\\", L"Program Files\\", L"a", L".exe", L"\u00e9", L" "});
        } else {
            pattern += rng_.OneOf({L'\0', L'\xDC00', L'='});
        }
    }
    return pattern;
}

CaseFields ExpandTarget::Generate() {
    CaseFields fields = {Kind(), Pattern()};
    const uint64_t variables = rng_.Below(6);
    for (uint64_t i = 0; i < variables; ++i) {
        // Only the fuzzer's own names are set: PATH and the like stay as they are.
        fields.push_back(rng_.Pick(kNames));
        fields.push_back(Value());
    }
    return fields;
}

std::wstring ExpandTarget::Check(const CaseFields& fields) {
    if (fields.size() < 2 || fields.size() % 2 != 0) return L"an expand case has a text and name-value pairs";
    const std::wstring& text = fields[1];
    CaseVariables variables(fields);
    const std::wstring expanded = Tavrel::StartMenu::ExpandPathVariables(text);

    if (Percents(text) == 0 && expanded != text) return L"a text without % changed";
    if (expanded.size() > text.size() + Tavrel::StartMenu::kMaxPathSubstitutions * kLongestKept) {
        return L"the result is longer than 64 values can make it";
    }
    bool valuesBringPercent = inheritedPercent_;
    for (size_t i = 3; i < fields.size(); i += 2) valuesBringPercent |= Percents(fields[i]) > 0;
    const size_t percents = Percents(text);
    if (!valuesBringPercent && percents / 2 <= Tavrel::StartMenu::kMaxPathSubstitutions &&
        Percents(expanded) != percents % 2) {
        return L"a % pair was left in place";
    }
    if (Tavrel::StartMenu::ExpandPathVariables(text) != expanded) return L"a second call gave another result";
    return {};
}

}  // namespace WineFuzz
