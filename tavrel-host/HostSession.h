// One conversation with the plug-in, as the suite's host holds it: COM
// initialised on the thread (the application list uses shell objects), the
// module loaded, versioned and initialised; uninitialised at the end.
#pragma once

#include <windows.h>

#include <string>

#include "tavrel-host/PluginModule.h"

namespace TavrelHost {

class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_ = false;
};

class HostSession {
public:
    HostSession();
    ~HostSession();

    // Sends one request (JSON text) and answers the response as JSON text;
    // the export's status goes to *status when one is given.
    std::wstring Send(const std::wstring& request, DWORD* status = nullptr);
    DWORD InterfaceVersion() const { return interfaceVersion_; }
    const std::wstring& ModulePath() const { return plugin_.Path(); }
    HMODULE Module() const { return plugin_.Handle(); }

private:
    ComApartment apartment_;
    PluginModule plugin_;
    DWORD interfaceVersion_ = 0;
};

}  // namespace TavrelHost
