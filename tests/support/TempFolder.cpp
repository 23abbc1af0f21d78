#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

namespace TestSupport {

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"tavrel-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++);
    CreateFolders(path_);
}

TempFolder::TempFolder(std::wstring path) : path_(std::move(path)) {
    RemoveTree(path_);
    CreateFolders(path_);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring TempFolder::operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

void CopyFileTo(const std::wstring& from, const std::wstring& to) {
    CreateFolders(to.substr(0, to.find_last_of(L'\\')));
    ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), FALSE)) << "copying to a test folder failed: " << GetLastError();
}

}  // namespace TestSupport
