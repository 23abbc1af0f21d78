#include "ImportPatch.h"

#include <windows.h>

#include <cstring>

namespace TestSupport {
namespace {

void** FindImportSlot(const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); imports && module->Name;
         ++module) {
        if (_stricmp(reinterpret_cast<char*>(base + module->Name), dll) || !module->OriginalFirstThunk) continue;
        // The lookup table names the imports; the address table, what the loader bound them to.
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(byName->Name, function) == 0) return reinterpret_cast<void**>(&addresses->u1.Function);
        }
    }
    return nullptr;
}

void Write(void** slot, void* value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
}

}  // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
    : slot_(FindImportSlot(dll, function)) {
    if (slot_ == nullptr) return;
    original_ = *slot_;
    Write(slot_, replacement);
}

ImportPatch::~ImportPatch() {
    if (slot_ != nullptr) Write(slot_, original_);
}

}  // namespace TestSupport
