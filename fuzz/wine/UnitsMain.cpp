// fuzz-units.exe [--seed S] [--count N | --case N]: each case sends one
// stored string through the product's DecryptStringW and one % pattern
// through its ExpandPathVariables, both linked in.
#include "Common/BxCommon/BxComn_StringCrypt.h"
#include "Fuzz.h"
#include "Tavrel/StartMenu/ExpandPathVariables.h"

namespace {

// Hex text of any length with odd digits, NULs and any UTF-16 unit among
// them. Decryption fails exactly when the text's UTF-8, up to its first NUL,
// holds fewer than 16 digit pairs, and then leaves `out` as it was.
std::wstring Decrypt(WineFuzz::Rng& rng) {
    const size_t length = rng.Chance(50) ? rng.Pick<size_t>({31, 32, 33, 63, 64, 100000}) : rng.Length(100000);
    const unsigned odd = rng.Pick({0u, 0u, 5u, 50u, 500u});
    std::wstring stored(length, L'0');
    for (wchar_t& c : stored) {
        c = rng.Chance(odd)
                ? rng.Pick<wchar_t>({L'g', L' ', L'-', L'\0', 0xE9, 0xD800, 0xFF10, wchar_t(rng.Below(0x10000))})
                : L"0123456789abcdefABCDEF"[rng.Below(22)];
    }
    std::wstring out = L"unchanged";
    const bool ok = BxCommon::Cryptograph::DecryptStringW(out, stored);
    const int utf8 = WideCharToMultiByte(CP_UTF8, 0, stored.c_str(), -1, nullptr, 0, nullptr, nullptr) - 1;
    if (ok != (utf8 >= 32)) return ok ? L"decrypted fewer than 32 digits" : L"refused 32 digits or more";
    if (!ok && out != L"unchanged") return L"a failed decryption changed its output";
    return {};
}

// Patterns over two variables whose values name each other or themselves,
// are empty or around MAX_PATH long: text without % comes back as it was,
// and at most 64 values shorter than MAX_PATH are put in.
std::wstring Expand(WineFuzz::Rng& rng) {
    auto piece = [&rng] {
        return rng.Pick<std::wstring>({L"%FZA%", L"%FZB%", L"%fzb%", L"%FZC%", L"%", L"%%", L"C:\\", L"\u00e9",
                                       std::wstring(1, L'\0'), L"\xDC00"});
    };
    std::wstring text, values[2];
    for (size_t i = rng.Chance(50) ? 60 + rng.Below(240) : rng.Length(40); i > 0; --i) text += piece();
    for (std::wstring& value : values) {
        const size_t length = rng.Chance(200) ? rng.Pick<size_t>({258, 259, 260, 1000}) : rng.Length(300);
        while (value.size() < length) value += piece();
        value.resize(length);
    }
    SetEnvironmentVariableW(L"FZA", values[0].c_str());
    SetEnvironmentVariableW(L"FZB", values[1].c_str());
    const std::wstring expanded = Tavrel::StartMenu::ExpandPathVariables(text);
    if (text.find(L'%') == std::wstring::npos && expanded != text) return L"a text without % changed";
    if (expanded.size() > text.size() + Tavrel::StartMenu::kMaxPathSubstitutions * (MAX_PATH - 1)) {
        return L"more than 64 values were put in";
    }
    return {};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    return WineFuzz::Run(argc, argv, L"units", [](WineFuzz::Rng& rng) {
        const std::wstring failure = Decrypt(rng);
        return failure.empty() ? Expand(rng) : failure;
    });
}
