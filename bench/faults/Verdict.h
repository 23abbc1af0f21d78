// What one fault case found: the expectations that did not hold, the
// figures it measured, or why it cannot run on this platform. Each line is
// printed as it is recorded, so a case that crashes half way still shows
// how far it got.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Faults {

class Verdict {
public:
    // Records `what` as a failure unless `holds`; answers `holds`.
    bool Expect(bool holds, const std::wstring& what);
    // A measured figure or finding, printed under the case.
    void Note(const std::wstring& line);
    // The case cannot be set up here; `reason` says why.
    void Skip(const std::wstring& reason);

    // The child's exit code: 0 passed, 1 failed, kSkippedExitCode skipped.
    int ExitCode() const;

private:
    int failures_ = 0;
    bool skipped_ = false;
};

inline constexpr int kSkippedExitCode = 3;

// "0x20FF0000"
std::wstring Hex(DWORD value);
// "1.234 s"
std::wstring SecondsText(double seconds);
// "[a, b, c]", for messages.
std::wstring Joined(const std::vector<std::wstring>& items);
// One line on standard output, flushed (parent and child share the stream).
void PrintLine(const std::wstring& line);

}  // namespace Faults
