#include "Common/Source/ParentControlCommon.h"

#include <windows.h>
#include <shlwapi.h>

#include <atomic>
#include <functional>
#include <memory>

#include "Common/BxCommon/BxComn_Library.h"
#include "Common/BxCommon/BxComn_Registry.h"
#include "Common/FrwkCommon/Frwk_Utility.h"
#include "Common/Source/PathText.h"
#include "Tavrel/Log/ScopeTrace.h"

namespace {

using ParentControl::LowerCaseLetters;

constexpr WORD kArchitectureUnknown = 0xFFFF;
constexpr DWORD kDefaultView = 0;
// Written by whichever thread asks first, always with the same value.
std::atomic<WORD> g_nativeArchitecture{kArchitectureUnknown};

bool Contains(const std::wstring& lowerPath, const std::wstring& lowerFolder) {
    return lowerPath.find(lowerFolder) != std::wstring::npos;
}

// The folder that holds the installation folder, lower-cased. An installation
// folder that does not fit MAX_PATH is not a folder we could have installed
// to; rather than guess at a part of it, the test is skipped (false).
bool ProductParentFolder(std::wstring folder, std::wstring& parent) {
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    if (folder.size() > MAX_PATH) return false;
    wchar_t buffer[MAX_PATH + 1] = {};
    folder.copy(buffer, folder.size());
    PathRemoveFileSpecW(buffer);
    parent = LowerCaseLetters(buffer);
    return true;
}

void LogCaught(DWORD errorCode) {
    TAVREL_LOG(
        2, L"CParentControlCommon::GetAppExceptionList() caught BxCommon::Exception::Base, error code: " << errorCode);
}

// Reads the entries with the log lines of GetAppExceptionList; answers the
// error that ended the reading early, 0 when none did.
DWORD ReadExceptionEntriesLogged(const wchar_t* keyPath,
                                 const std::function<void(const ParentControl::StoredExceptionEntry&)>& onEntry) {
    TAVREL_SCOPE_TRACE(L"CParentControlCommon::GetAppExceptionList");
    try {
        BxCommon::Storage::Registry storage(IsNativeX64System() ? BxCommon::Storage::kView64 : kDefaultView);
        ParentControl::ReadExceptionEntries(
            storage, keyPath,
            [](size_t names) { TAVREL_LOG(2, L"ArrayOfAppName size:" << static_cast<uint32_t>(names)); },
            [&](const ParentControl::StoredExceptionEntry& entry) {
                // One value that cannot be read as a string costs its own
                // line only; the folders after it still count.
                if (entry.readError != ERROR_SUCCESS) LogCaught(entry.readError);
                onEntry(entry);
            });
    } catch (BxCommon::Exception::Base* e) {
        const std::unique_ptr<BxCommon::Exception::Base> owned(e);
        const auto* storage = dynamic_cast<const BxCommon::Storage::Exception*>(owned.get());
        const DWORD error = storage != nullptr ? storage->GetErrorCode() : 0;
        LogCaught(error);
        return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
    } catch (...) {
        // Read before the log gate, whose service calls may change it.
        const DWORD lastError = GetLastError();
        TAVREL_LOG(2, L"CParentControlCommon::GetAppExceptionList() caught an exception of another kind, last error: "
                          << lastError);
        return lastError != ERROR_SUCCESS ? lastError : ERROR_GEN_FAILURE;
    }
    return ERROR_SUCCESS;
}

// Whether one stored entry names a folder in the path, with how it fared.
ParentControl::ExceptionCheck CheckExceptionEntry(const ParentControl::StoredExceptionEntry& entry,
                                                  const std::wstring& lowerPath) {
    using ParentControl::ExceptionOutcome;
    ParentControl::ExceptionCheck check{entry.valueName, ExceptionOutcome::kNotInPath, entry.readError, {}};
    std::wstring folder;
    if (entry.readError != ERROR_SUCCESS) {
        check.outcome = ExceptionOutcome::kUnreadable;
    } else if (entry.storedText.empty()) {
        check.outcome = ExceptionOutcome::kEmptyValue;
    } else if (!ParentControl::DecryptExceptionFolder(entry.storedText, folder)) {
        check.outcome = ExceptionOutcome::kUndecryptable;
    } else if (folder.empty()) {
        // An empty folder is no folder: it would be found in every path and
        // empty the whole list.
        check.outcome = ExceptionOutcome::kEmptyFolder;
    } else {
        check.folder = LowerCaseLetters(folder);
        if (Contains(lowerPath, check.folder)) check.outcome = ExceptionOutcome::kInPath;
    }
    return check;
}

}  // namespace

bool CParentControlCommon::IsFilteredApp(const std::wstring& path) {
    ParentControl::FilterReport report;
    return IsFilteredApp(path, report);
}

bool CParentControlCommon::IsFilteredApp(const std::wstring& path, ParentControl::FilterReport& report) {
    using ParentControl::FilterRule;
    const std::wstring lowerPath = LowerCaseLetters(path);
    report.windowsFolder = LowerCaseLetters(Frwk::Utility::GetSystemDirectory());
    if (Contains(lowerPath, report.windowsFolder)) {
        report.decidedBy = FilterRule::kWindowsFolder;
        return true;
    }

    report.installedFolder = Frwk::Utility::GetInstalledFolder();
    report.productFolderTested = ProductParentFolder(report.installedFolder, report.productParent);
    if (report.productFolderTested && Contains(lowerPath, report.productParent)) {
        report.decidedBy = FilterRule::kProductFolder;
        return true;
    }

    std::vector<ParentControl::StoredExceptionEntry> entries;
    report.exceptionKeyError =
        ReadExceptionEntriesLogged(kAppCtrlExceptFolderListKey,
                                   [&](const ParentControl::StoredExceptionEntry& entry) { entries.push_back(entry); });
    for (const ParentControl::StoredExceptionEntry& entry : entries) {
        report.exceptions.push_back(CheckExceptionEntry(entry, lowerPath));
        if (report.exceptions.back().outcome == ParentControl::ExceptionOutcome::kInPath) {
            TAVREL_LOG(2, L"Filter App, tstrLowerFileName=" << lowerPath << L" tsExceptFolder"
                                                            << report.exceptions.back().folder);
            report.decidedBy = FilterRule::kExceptionFolder;
            return true;
        }
    }
    return false;
}

int CParentControlCommon::GetAppExceptionList(const wchar_t* keyPath, std::vector<std::wstring>& list) {
    int count = 0;
    ReadExceptionEntriesLogged(keyPath, [&](const ParentControl::StoredExceptionEntry& entry) {
        if (entry.readError == ERROR_SUCCESS && !entry.storedText.empty()) {
            list.push_back(entry.storedText);
            ++count;
        }
    });
    return count;
}

bool IsNativeX64System() {
    WORD architecture = g_nativeArchitecture.load(std::memory_order_relaxed);
    if (architecture == kArchitectureUnknown) {
        BxCommon::Library::Base kernel(L"kernel32.dll");
        if (kernel.GetHandle() == nullptr) return false;
        using GetNativeSystemInfoFunction = void(WINAPI*)(SYSTEM_INFO*);
        auto getNativeSystemInfo = reinterpret_cast<GetNativeSystemInfoFunction>(
            reinterpret_cast<void (*)()>(kernel.GetFunction(L"GetNativeSystemInfo")));
        if (getNativeSystemInfo == nullptr) return false;
        SYSTEM_INFO info{};
        getNativeSystemInfo(&info);
        architecture = info.wProcessorArchitecture;
        g_nativeArchitecture.store(architecture, std::memory_order_relaxed);
    }
    return architecture == PROCESSOR_ARCHITECTURE_AMD64;
}
