// tavrel-host run as a process of its own, from the build's binary folder.
#pragma once

#include <string>

#include "ChildProcess.h"

namespace TestSupport {

inline ProcessResult Host(const std::wstring& arguments, const std::string& input = {}) {
    return RunProcess(Quote(BinaryFolder() + L"tavrel-host.exe") + L" " + arguments, 60000, input);
}

}  // namespace TestSupport
