#include "QuennetFixture.h"

#include "TextFile.h"

#include <algorithm>
#include <regex>

namespace QuennetTests {
namespace {

// GetProcAddress answers a generic function pointer; going through void(*)()
// is the cast GCC accepts without a warning.
template <typename Function>
Function Export(HMODULE dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

}  // namespace

void QuennetFixture::SetUp() {
    SetOverride(nullptr);
    Load();
}

void QuennetFixture::TearDown() {
    Unload();
    SetOverride(nullptr);
}

void QuennetFixture::Load() {
    wchar_t exe[MAX_PATH];
    std::wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
    dll_ = LoadLibraryW((path.substr(0, path.find_last_of(L'\\') + 1) + L"Quennet.dll").c_str());
    ASSERT_NE(dll_, nullptr) << "cannot load Quennet.dll, error " << GetLastError();
    construct = Export<decltype(construct)>(dll_, "Log_ConstructServer");
    defaultHandle = Export<decltype(defaultHandle)>(dll_, "Log_GetDefaultHandle");
    logLevel = Export<decltype(logLevel)>(dll_, "Log_GetLogLevel");
    flush = Export<decltype(flush)>(dll_, "Log_Flush");
    ASSERT_TRUE(construct && defaultHandle && logLevel && flush);
}

void QuennetFixture::Unload() {
    if (dll_ != nullptr) FreeLibrary(dll_);
    dll_ = nullptr;
}

QuennetHandle QuennetFixture::Start(const std::wstring& folder) {
    EXPECT_EQ(construct(folder.c_str()), 0);
    return defaultHandle();
}

int32_t QuennetFixture::Write(const wchar_t* module, const std::wstring& text) {
    return flush(defaultHandle(), module, 2, L"test.cpp", 1, text.c_str(),
                 static_cast<uint32_t>(text.size() * sizeof(wchar_t)));
}

std::vector<std::string> Lines(const std::wstring& path) {
    std::string bytes = TestSupport::ReadBytes(path);
    std::vector<std::string> lines;
    for (size_t start = 0, end = 0; start < bytes.size(); start = end) {
        end = bytes.find("\r\n", start);
        end = end == std::string::npos ? bytes.size() : end + 2;
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

std::vector<std::wstring> FileNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

bool ParseLine(const std::string& line, ParsedLine& parsed) {
    // ECMAScript `.` matches neither CR nor LF: a line broken by its text fails here.
    static const std::regex format(
        R"(^(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}) (\d+) (\d+) L(\d+) (.*)\((\d+)\): (.*)\r\n$)");
    std::smatch match;
    if (!std::regex_match(line, match, format)) return false;
    parsed = {match[1], std::stoul(match[2]), std::stoul(match[3]), std::stoul(match[4]),
              std::stoul(match[6]), match[5], match[7]};
    return true;
}

}  // namespace QuennetTests
