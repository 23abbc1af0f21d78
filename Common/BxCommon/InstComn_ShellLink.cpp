#include "Common/BxCommon/InstComn_ShellLink.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "Common/BxCommon/BxComn_ComPtr.h"
#include "Common/BxCommon/BxComn_DebugLog.h"

namespace InstCommon::Utility::ShellLink {
namespace {

using BxCommon::ComPtr;

// The shell fills fixed buffers; a text is taken up to its terminator and
// never past the buffer.
std::wstring FromBuffer(const wchar_t (&buffer)[MAX_PATH]) { return std::wstring(buffer, wcsnlen(buffer, MAX_PATH)); }

class ItemIdList {
public:
    explicit ItemIdList(IMalloc* allocator) : allocator_(allocator) {}
    ~ItemIdList() {
        if (list_ != nullptr) allocator_->Free(list_);
    }
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;

    LPITEMIDLIST* Put() { return &list_; }
    LPCITEMIDLIST Get() const { return list_; }

private:
    IMalloc* allocator_;
    LPITEMIDLIST list_ = nullptr;
};

}  // namespace

bool GetSpecialFolderPath(int csidl, std::wstring& path) {
    ComPtr<IMalloc> allocator;
    HRESULT hr = SHGetMalloc(allocator.Put());
    if (FAILED(hr)) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** ::SHGetMalloc() failed. [0x%08x]", hr);
        return false;
    }
    ItemIdList folder(allocator.Get());
    hr = SHGetSpecialFolderLocation(nullptr, csidl, folder.Put());
    if (FAILED(hr)) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** ::SHGetSpecialFolderLocation() failed. [0x%08x]", hr);
        return false;
    }
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(folder.Get(), buffer)) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** ::SHGetPathFromIDList() failed.");
        return false;
    }
    path = FromBuffer(buffer);
    return true;
}

bool ResolveShortcut(const std::wstring& shortcut, std::wstring& target, std::wstring& description, DWORD timeoutMs) {
    ComPtr<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW, link.PutVoid());
    if (FAILED(hr)) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** CComPtrBase::CoCreateInstance() failed. [0x%08x]", hr);
        return false;
    }
    ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(hr)) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** IShellLink::QueryInterface(IPersistFile) failed. [0x%08x]", hr);
        return false;
    }
    hr = file->Load(shortcut.c_str(), STGM_READ);
    if (FAILED(hr)) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** IPersistFile::Load() failed. [0x%08x]", hr);
        return false;
    }
    // No window and SLR_NO_UI: no dialog; the high word bounds the search
    // for a moved target. SLR_UPDATE keeps the link current.
    const DWORD flags = (static_cast<DWORD>(timeoutMs & 0xFFFF) << 16) | SLR_NO_UI | SLR_UPDATE;
    hr = link->Resolve(nullptr, flags);
    if (FAILED(hr)) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** IShellLink::Resolve() failed. [0x%08x]", hr);
        return false;
    }
    wchar_t path[MAX_PATH] = {};
    WIN32_FIND_DATAW findData{};
    // SLGP_RAWPATH: %VAR% references stay as the link stores them.
    hr = link->GetPath(path, MAX_PATH, &findData, SLGP_RAWPATH);
    if (FAILED(hr)) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** IShellLink::GetPath() failed. [0x%08x]", hr);
        return false;
    }
    target = FromBuffer(path);
    wchar_t text[MAX_PATH] = {};
    hr = link->GetDescription(text, MAX_PATH);
    if (FAILED(hr)) {
        BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** IShellLink::GetDescription() failed. [0x%08x]", hr);
        return false;
    }
    description = FromBuffer(text);
    return true;
}

}  // namespace InstCommon::Utility::ShellLink
