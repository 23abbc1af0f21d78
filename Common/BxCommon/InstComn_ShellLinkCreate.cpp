#include "Common/BxCommon/InstComn_ShellLinkCreate.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "Common/BxCommon/BxComn_ComPtr.h"

namespace InstCommon::Utility::ShellLink {

HRESULT CreateShortcut(const std::wstring& shortcut, const std::wstring& target, const std::wstring& description) {
    BxCommon::ComPtr<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
    if (FAILED(hr)) return hr;
    if (FAILED(hr = link->SetPath(target.c_str()))) return hr;
    if (FAILED(hr = link->SetDescription(description.c_str()))) return hr;
    BxCommon::ComPtr<IPersistFile> file;
    if (FAILED(hr = link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return hr;
    return file->Save(shortcut.c_str(), TRUE);
}

}  // namespace InstCommon::Utility::ShellLink
