// Where cases go outside the process: the replay file of failing cases, the
// "last case" file that names the input of a crash or hang, and reading a
// replay file back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CaseLine.h"
#include "Common/BxCommon/BxComn_UniqueResource.h"

namespace WineFuzz {

// Appends one line per case; without a path it keeps nothing. At most
// kMaxKept cases are written, so that a fault hit on every input does not
// fill the disk.
class FailureFile {
public:
    static constexpr size_t kMaxKept = 20;
    explicit FailureFile(const std::wstring& path);
    void Keep(const CaseFields& fields);

private:
    std::wstring path_;
    size_t kept_ = 0;
};

// Holds exactly one case, rewritten before each case runs, so that the
// process dying leaves the case that killed it. The file is mapped into
// memory: a case costs a copy and no system call (a write, even one, doubles
// the time of a stop request under Wine), and the pages reach the file even
// when the process crashes. Between a crash and the next run the file may
// end in NUL bytes, which readers drop. Without a path it does nothing.
class LastCaseFile {
public:
    explicit LastCaseFile(const std::wstring& path);
    // Cuts the file to what it holds.
    ~LastCaseFile();
    LastCaseFile(const LastCaseFile&) = delete;
    LastCaseFile& operator=(const LastCaseFile&) = delete;

    void Hold(const CaseFields& fields);
    // Empty once the run ends normally: a leftover case means a crash.
    void Clear();

private:
    struct ViewTraits {
        using Type = void*;
        static Type Invalid() noexcept { return nullptr; }
        static void Close(Type view) noexcept { ::UnmapViewOfFile(view); }
    };

    void Write(const std::string& text);
    void Map(size_t capacity);

    BxCommon::UniqueFileHandle file_;
    BxCommon::UniqueHandle mapping_;
    BxCommon::UniqueResource<ViewTraits> view_;
    size_t capacity_ = 0;
    size_t held_ = 0;
};

// The cases of a replay file, one per non-empty line; throws
// std::runtime_error naming the file and the line that cannot be read.
std::vector<CaseFields> ReadCases(const std::wstring& path);

}  // namespace WineFuzz
