#include "CaseLine.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>

namespace WineFuzz {
namespace {

void AppendQuoted(std::string& out, const std::wstring& text) {
    out += '"';
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        }
    }
    out += '"';
}

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

class Parser {
public:
    explicit Parser(std::wstring text) : text_(std::move(text)) {}

    std::optional<CaseFields> Array() {
        CaseFields fields;
        if (!Take(L'[')) return std::nullopt;
        if (Take(L']')) return End(fields);
        do {
            std::optional<std::wstring> field = String();
            if (!field) return std::nullopt;
            fields.push_back(std::move(*field));
        } while (Take(L','));
        if (!Take(L']')) return std::nullopt;
        return End(fields);
    }

private:
    void SkipSpace() {
        while (at_ < text_.size() && (text_[at_] == L' ' || text_[at_] == L'\t' || text_[at_] == L'\r')) ++at_;
    }
    bool Take(wchar_t c) {
        SkipSpace();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    std::optional<CaseFields> End(CaseFields& fields) {
        SkipSpace();
        if (at_ != text_.size()) return std::nullopt;
        return std::move(fields);
    }
    std::optional<std::wstring> String() {
        if (!Take(L'"')) return std::nullopt;
        std::wstring value;
        while (at_ < text_.size()) {
            const wchar_t c = text_[at_++];
            if (c == L'"') return value;
            if (c != L'\\') {
                value += c;
                continue;
            }
            if (at_ >= text_.size()) return std::nullopt;
            const wchar_t e = text_[at_++];
            switch (e) {
                case L'"':
                case L'\\':
                case L'/':
                    value += e;
                    break;
                case L'b':
                    value += L'\b';
                    break;
                case L'f':
                    value += L'\f';
                    break;
                case L'n':
                    value += L'\n';
                    break;
                case L'r':
                    value += L'\r';
                    break;
                case L't':
                    value += L'\t';
                    break;
                case L'u': {
                    if (at_ + 4 > text_.size()) return std::nullopt;
                    unsigned unit = 0;
                    for (int i = 0; i < 4; ++i) {
                        const wchar_t d = text_[at_++];
                        if (!iswxdigit(d)) return std::nullopt;
                        unit = unit * 16 + static_cast<unsigned>(d <= L'9' ? d - L'0' : (d | 0x20) - L'a' + 10);
                    }
                    value += static_cast<wchar_t>(unit);
                    break;
                }
                default:
                    return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::wstring text_;
    size_t at_ = 0;
};

}  // namespace

std::string FormatCase(const CaseFields& fields) {
    std::string line = "[";
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        AppendQuoted(line, fields[i]);
    }
    return line + "]";
}

std::optional<CaseFields> ParseCase(const std::string& line) { return Parser(Widen(line)).Array(); }

}  // namespace WineFuzz
