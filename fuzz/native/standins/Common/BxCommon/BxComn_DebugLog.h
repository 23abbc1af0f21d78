// Native stand-in for the common library's debug log, for the fuzz build
// only (it takes the product header's place on the include path). The
// product's log is built off and the plug-in never switches it on, so a
// trace here writes nothing and answers false.
#pragma once

namespace BxCommon {

inline constexpr unsigned kDebugLevelFailure = 256;

template <typename... Arguments>
bool TraceOff(unsigned, const wchar_t*, const Arguments&...) {
    return false;
}

}  // namespace BxCommon

#define BXDBG_TRACE(level, ...) ::BxCommon::TraceOff((level), __VA_ARGS__)
