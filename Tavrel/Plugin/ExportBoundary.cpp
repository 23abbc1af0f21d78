#include "Tavrel/Plugin/ExportBoundary.h"

#include <exception>
#include <memory>
#include <string>

#include "Common/BxCommon/BxComn_StorageException.h"
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
        } catch (BxCommon::Exception::Base* thrown) {
            // The common library throws heap objects; whoever catches one owns it.
            const std::unique_ptr<BxCommon::Exception::Base> failure(thrown);
            if (const auto* storage = dynamic_cast<const BxCommon::Storage::Exception*>(failure.get())) {
                TAVREL_LOG(5, exportName << L"() caught an exception: storage error " << storage->GetErrorCode());
            } else {
                TAVREL_LOG(5, exportName << L"() caught an exception of the common library");
            }
        } catch (...) {
            TAVREL_LOG(5, exportName << L"() caught an exception of unknown type");
        }
    } catch (...) {
        // Not even the line could be written.
    }
}

}  // namespace Tavrel::Plugin
