#include "JsonPieces.h"

#include <cstdio>

namespace WineFuzz {
namespace {

std::wstring Hex4(unsigned unit) {
    wchar_t text[8];
    std::swprintf(text, 8, L"\\u%04x", unit & 0xFFFF);
    return text;
}

// One character of a string literal, as the text that writes it.
std::wstring LiteralCharacter(Rng& rng) {
    static const wchar_t kPathCharacters[] = L"abcxyzABCXYZ0189 ._-:~$";
    static const wchar_t* const kWords[] = {
        L"c:",       L"C:",     L"\\\\",         L"\\\\\\\\?\\\\",           L".exe", L"program files", L"%",
        L"%%",       L"%PATH%", L"%SystemRoot%", L"%windir%\\\\notepad.exe", L"..",   L"\\/",           L"\\\"",
        L"Z:\\\\tmp"};
    const uint64_t kind = rng.Below(100);
    if (kind < 55) return std::wstring(1, kPathCharacters[rng.Below(sizeof kPathCharacters / sizeof(wchar_t) - 1)]);
    if (kind < 70) return L"\\\\";
    if (kind < 78) return rng.Pick(kWords);
    if (kind < 81) return L"\\u0000";
    if (kind < 84) return Hex4(static_cast<unsigned>(rng.Between(1, 0x1F)));
    if (kind < 86) return rng.OneOf<const wchar_t*>({L"\\n", L"\\t", L"\\b", L"\\f", L"\\r"});
    if (kind < 92) {
        static const wchar_t kWide[] = {0x00E9, 0x0416, 0x4E2D, 0x00A0, 0xFEFF, 0xFFFE, 0xFFFF, 0x2028, 0x0130};
        const wchar_t c = rng.Pick(kWide);
        return rng.Chance(500) ? std::wstring(1, c) : Hex4(c);
    }
    if (kind < 95) {
        const wchar_t high = static_cast<wchar_t>(rng.Between(0xD800, 0xDBFF));
        const wchar_t low = static_cast<wchar_t>(rng.Between(0xDC00, 0xDFFF));
        return rng.Chance(500) ? std::wstring{high, low} : Hex4(high) + Hex4(low);
    }
    // An unpaired surrogate: raw it is read as U+FFFD; escaped, rarely, the
    // whole text is refused.
    const wchar_t lone = static_cast<wchar_t>(rng.Between(0xD800, 0xDFFF));
    return rng.Chance(950) ? std::wstring(1, lone) : Hex4(lone);
}

}  // namespace

std::wstring StringLiteral(Rng& rng, size_t length) {
    std::wstring text = L"\"";
    // Words count as one character each; the length is a bound on effort,
    // not an exact count.
    for (size_t i = 0; i < length; ++i) text += LiteralCharacter(rng);
    return text + L"\"";
}

std::wstring StringOfAnyLength(Rng& rng, size_t longest) {
    if (rng.Chance(30)) return StringLiteral(rng, rng.OneOf<size_t>({259, 260, 261, 32767, longest}));
    return StringLiteral(rng, SkewedLength(rng, longest));
}

std::wstring SafeNumber(Rng& rng) {
    static const wchar_t* const kForms[] = {L"0",
                                            L"-0",
                                            L"0.0",
                                            L"1",
                                            L"2",
                                            L"3",
                                            L"-1",
                                            L"-4",
                                            L"-2147483648",
                                            L"4294967295",
                                            L"4294967294",
                                            L"4294967296",
                                            L"4294967300",
                                            L"18446744073709551615",
                                            L"18446744073709551616",
                                            L"-9223372036854775809",
                                            L"1e19",
                                            L"1e308",
                                            L"-1e308",
                                            L"1.5",
                                            L"2.25",
                                            L"1e-300",
                                            L"0.5e1",
                                            L"5e0",
                                            L"7.0",
                                            L"3.0e0",
                                            L"1E-7",
                                            L"123456789012345678901234567890",
                                            L"4294967295.5"};
    if (rng.Chance(700)) return rng.Pick(kForms);
    // An integer below 2^32 that is no multiple of 4.
    const uint64_t value = rng.Below(1ull << 32) | (rng.Below(3) + 1);
    switch (rng.Below(4)) {
        case 0:
            return std::to_wstring(value) + L".0";
        case 1:
            return std::to_wstring(value) + L".5";
        case 2:
            return L"-" + std::to_wstring(value);
        default:
            return std::to_wstring(value);
    }
}

size_t HostileDepth(Rng& rng) {
    if (rng.Chance(600)) return static_cast<size_t>(rng.Between(1, 40));
    if (rng.Chance(700)) return static_cast<size_t>(rng.Between(248, 262));
    return rng.OneOf<size_t>({128, 300, 400});
}

std::wstring Nested(Rng& rng, size_t levels) {
    const bool arrays = rng.Chance(500);
    std::wstring open = arrays ? L"[" : L"{\"PcAppStopList\":";
    std::wstring text;
    text.reserve(levels * (open.size() + 1) + 8);
    for (size_t i = 0; i < levels; ++i) text += open;
    text += rng.Chance(500) ? SafeNumber(rng) : L"\"leaf\"";
    text.append(levels, arrays ? L']' : L'}');
    return text;
}

std::wstring AnyKey(Rng& rng) {
    static const wchar_t* const kKeys[] = {L"\"TaskID\"",
                                           L"\"TaskParam\"",
                                           L"\"PcAppStopList\"",
                                           L"\"PcAppStopPid\"",
                                           L"\"PcAppStopFilePath\"",
                                           L"\"PcAppCtrlAppList\"",
                                           L"\"taskid\"",
                                           L"\"TaskID \"",
                                           L"\"Task\\u0000ID\"",
                                           L"\"\"",
                                           L"\"\\u0000\"",
                                           L"\"PcAppStopPid\\u0000\""};
    return rng.Chance(700) ? rng.Pick(kKeys) : StringLiteral(rng, SkewedLength(rng, 300));
}

std::wstring AnyValue(Rng& rng, int depth) {
    const uint64_t kind = rng.Below(depth > 0 ? 100 : 70);
    if (kind < 8) return L"null";
    if (kind < 14) return rng.Chance(500) ? L"true" : L"false";
    if (kind < 40) return SafeNumber(rng);
    if (kind < 70) return StringLiteral(rng, SkewedLength(rng, 1000));
    if (kind < 75) return Nested(rng, HostileDepth(rng));
    const bool isArray = kind < 88;
    std::wstring text = isArray ? L"[" : L"{";
    const uint64_t count = rng.Below(6);
    for (uint64_t i = 0; i < count; ++i) {
        if (i > 0) text += L",";
        if (!isArray) text += AnyKey(rng) + L":";
        text += AnyValue(rng, depth - 1);
    }
    return text + (isArray ? L"]" : L"}");
}

}  // namespace WineFuzz
