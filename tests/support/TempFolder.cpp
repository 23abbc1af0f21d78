#include "TempFolder.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

namespace TestSupport {

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH, temp) == 0) throw std::runtime_error("GetTempPathW failed");
    path_ = std::wstring(temp) + L"tavrel-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++);
    CreateFolders(path_);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring TempFolder::operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

}  // namespace TestSupport
