#include "Verdict.h"

#include <cstdio>

namespace Faults {

bool Verdict::Expect(bool holds, const std::wstring& what) {
    if (!holds) {
        ++failures_;
        PrintLine(L"   FAILED: " + what);
    }
    return holds;
}

void Verdict::Note(const std::wstring& line) { PrintLine(L"   " + line); }

void Verdict::Skip(const std::wstring& reason) {
    skipped_ = true;
    PrintLine(L"   skipped: " + reason);
}

int Verdict::ExitCode() const {
    if (failures_ > 0) return 1;
    return skipped_ ? kSkippedExitCode : 0;
}

std::wstring Hex(DWORD value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::wstring SecondsText(double seconds) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%.3f s", seconds);
    return text;
}

std::wstring Joined(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const std::wstring& item : items) text += (text.empty() ? L"" : L", ") + item;
    return L"[" + text + L"]";
}

void PrintLine(const std::wstring& line) {
    std::fwprintf(stdout, L"%ls\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace Faults
