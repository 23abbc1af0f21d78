#include "CaseFiles.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace WineFuzz {
namespace {

constexpr size_t kInitialCapacity = 1 << 20;

std::string Narrow(const std::wstring& path) { return std::string(path.begin(), path.end()); }

}  // namespace

FailureFile::FailureFile(const std::wstring& path) : path_(path) {}

void FailureFile::Keep(const CaseFields& fields) {
    if (path_.empty() || kept_ >= kMaxKept) return;
    ++kept_;
    // Opened per case: failures are rare, and each line is complete on disk
    // even if the process dies right after.
    std::ofstream out(path_.c_str(), std::ios::binary | std::ios::app);
    out << FormatCase(fields) << '\n';
}

LastCaseFile::LastCaseFile(const std::wstring& path) {
    if (path.empty()) return;
    file_.Reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) throw std::runtime_error("cannot create the last-case file " + Narrow(path));
    Map(kInitialCapacity);
}

LastCaseFile::~LastCaseFile() {
    if (!file_) return;
    view_.Reset();
    mapping_.Reset();
    LARGE_INTEGER end = {};
    end.QuadPart = static_cast<LONGLONG>(held_);
    SetFilePointerEx(file_.Get(), end, nullptr, FILE_BEGIN);
    SetEndOfFile(file_.Get());
}

void LastCaseFile::Hold(const CaseFields& fields) {
    if (file_) Write(FormatCase(fields) + "\n");
}

void LastCaseFile::Clear() {
    if (file_) Write({});
}

void LastCaseFile::Map(size_t capacity) {
    view_.Reset();
    mapping_.Reset(CreateFileMappingW(file_.Get(), nullptr, PAGE_READWRITE, static_cast<DWORD>(capacity >> 32),
                                      static_cast<DWORD>(capacity), nullptr));
    if (mapping_) view_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_WRITE, 0, 0, capacity));
    if (!view_) throw std::runtime_error("cannot map the last-case file");
    capacity_ = capacity;
}

void LastCaseFile::Write(const std::string& text) {
    if (text.size() > capacity_) Map(std::max(text.size(), capacity_ * 2));
    char* bytes = static_cast<char*>(view_.Get());
    std::memcpy(bytes, text.data(), text.size());
    // What a longer case left behind must not read as part of this one.
    if (held_ > text.size()) std::memset(bytes + text.size(), 0, held_ - text.size());
    held_ = text.size();
}

std::vector<CaseFields> ReadCases(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) throw std::runtime_error("cannot open the replay file " + Narrow(path));
    std::vector<CaseFields> cases;
    std::string line;
    for (size_t number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::optional<CaseFields> fields = ParseCase(line);
        if (!fields || fields->empty()) {
            throw std::runtime_error(Narrow(path) + " line " + std::to_string(number) + " is not a case");
        }
        cases.push_back(std::move(*fields));
    }
    return cases;
}

}  // namespace WineFuzz
