#include "tavrel-host/HostSession.h"

#include <objbase.h>

#include "tavrel-host/OwnedJson.h"

namespace TavrelHost {

ComApartment::ComApartment() { initialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }

ComApartment::~ComApartment() {
    if (initialised_) CoUninitialize();
}

HostSession::HostSession() {
    plugin_.Versioning(&interfaceVersion_);
    plugin_.Initialize();
}

HostSession::~HostSession() { plugin_.Uninitialize(); }

std::wstring HostSession::Send(const std::wstring& request, DWORD* status) {
    OwnedJson requestValue(request);
    OwnedJson responseValue(L"{}");
    const DWORD result = plugin_.CallFunc(requestValue.Get(), responseValue.Get());
    if (status != nullptr) *status = result;
    return responseValue.ToText();
}

}  // namespace TavrelHost
