#include "Tavrel/Plugin/ExportBoundary.h"

#include <exception>
#include <string>

#include "Tavrel/Log/LogGate.h"

namespace Tavrel::Plugin {
namespace {

// what() texts are ASCII in practice; each byte becomes one character.
std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; text != nullptr && *text != '\0'; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

}  // namespace

void LogEscapedException(const wchar_t* exportName) noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            TAVREL_LOG(5, exportName << L"() caught an exception: " << Widen(e.what()));
        } catch (...) {
            TAVREL_LOG(5, exportName << L"() caught an exception of unknown type");
        }
    } catch (...) {
        // Not even the line could be written.
    }
}

}  // namespace Tavrel::Plugin
