// Where C++ ends: no exception may unwind from an export into the host,
// which knows nothing of this module's runtime.
#pragma once

namespace Tavrel::Plugin {

// Called inside a catch block: logs the exception at level 5 as caught by
// `exportName` ("<exportName>() caught an exception: <what>", "...: storage
// error <code>", "... of the common library" or "... of unknown type") and
// deletes a thrown common-library exception. Writes nothing when not even
// that line can be built.
void LogEscapedException(const wchar_t* exportName) noexcept;

// Runs `body`; an exception that leaves it ends here with one log line.
template <typename Body>
void Guarded(const wchar_t* exportName, Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        LogEscapedException(exportName);
    }
}

}  // namespace Tavrel::Plugin
