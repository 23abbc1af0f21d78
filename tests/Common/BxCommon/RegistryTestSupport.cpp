#include "RegistryTestSupport.h"

#include <psapi.h>
#include <sddl.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "Common/BxCommon/BxComn_UniqueResource.h"

namespace RegistryTesting {
namespace {

constexpr wchar_t kParent[] = L"Software\\TavrelTests";
// Raw access always goes to the 64-bit view, like the storage's view 2.
constexpr REGSAM kView = KEY_WOW64_64KEY;

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text != '\0'; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

std::wstring UniqueName() {
    static std::atomic<unsigned> counter{0};
    std::wstring name;
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
        name = Widen(test->test_suite_name()) + L"." + Widen(test->name()) + L".";
    }
    return name + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(++counter);
}

std::wstring Below(const std::wstring& path, const std::wstring& relative) {
    return relative.empty() ? path : path + L"\\" + relative;
}

std::wstring SidText(PSID sid) {
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text)) return L"<invalid SID>";
    std::wstring result(text);
    LocalFree(text);
    return result;
}

}  // namespace

TestKey::TestKey(HKEY root) : root_(root), path_(std::wstring(kParent) + L"\\" + UniqueName()) {
    BxCommon::UniqueHKey key;
    const LSTATUS result = RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr,
                                           key.Put(), nullptr);
    if (result != ERROR_SUCCESS) ADD_FAILURE() << "cannot create the test key, error " << result;
}

TestKey::~TestKey() {
    // RegDeleteTreeW keeps the key itself and has no view flag of its own.
    BxCommon::UniqueHKey key;
    if (RegOpenKeyExW(root_, path_.c_str(), 0, KEY_ALL_ACCESS | kView, key.Put()) == ERROR_SUCCESS) {
        RegDeleteTreeW(key.Get(), nullptr);
        key.Reset();
        RegDeleteKeyExW(root_, path_.c_str(), kView, 0);
    }
}

LSTATUS TestKey::CreateSubKey(const std::wstring& relative) const {
    BxCommon::UniqueHKey key;
    return RegCreateKeyExW(root_, Below(path_, relative).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr,
                           key.Put(), nullptr);
}

bool TestKey::Exists(const std::wstring& relative) const {
    BxCommon::UniqueHKey key;
    return RegOpenKeyExW(root_, Below(path_, relative).c_str(), 0, KEY_QUERY_VALUE | kView, key.Put()) ==
           ERROR_SUCCESS;
}

LSTATUS TestKey::SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size,
                        const std::wstring& relative) const {
    BxCommon::UniqueHKey key;
    LSTATUS result = RegOpenKeyExW(root_, Below(path_, relative).c_str(), 0, KEY_SET_VALUE | kView, key.Put());
    if (result != ERROR_SUCCESS) return result;
    return RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

LSTATUS TestKey::SetRawString(const std::wstring& name, DWORD type, const std::wstring& text, bool terminated,
                              const std::wstring& relative) const {
    const size_t characters = text.size() + (terminated ? 1 : 0);
    return SetRaw(name, type, text.c_str(), static_cast<DWORD>(characters * sizeof(wchar_t)), relative);
}

TestKey::RawValue TestKey::GetRaw(const std::wstring& name, const std::wstring& relative) const {
    RawValue value;
    BxCommon::UniqueHKey key;
    value.result = RegOpenKeyExW(root_, Below(path_, relative).c_str(), 0, KEY_QUERY_VALUE | kView, key.Put());
    if (value.result != ERROR_SUCCESS) return value;
    DWORD size = 0;
    value.result = RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, nullptr, &size);
    if (value.result != ERROR_SUCCESS) return value;
    value.data.resize(size);
    value.result = RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, value.data.data(), &size);
    value.data.resize(size);
    return value;
}

void PrintTo(const AceEntry& entry, std::ostream* out) {
    std::string sid(entry.sid.begin(), entry.sid.end());
    char text[96];
    snprintf(text, sizeof text, " mask 0x%lx type %u flags 0x%x", static_cast<unsigned long>(entry.mask), entry.type,
             entry.flags);
    *out << "{" << sid << text << "}";
}

AceEntry Allowed(const wchar_t* sid, DWORD mask) { return AceEntry{sid, mask, ACCESS_ALLOWED_ACE_TYPE, 0}; }

std::vector<AceEntry> DaclEntries(PSECURITY_DESCRIPTOR descriptor) {
    std::vector<AceEntry> entries;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || dacl == nullptr) {
        return entries;
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) break;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        AceEntry entry;
        entry.type = header->AceType;
        entry.flags = header->AceFlags;
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
            // Allowed and denied entries share one layout.
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
            entry.mask = allowed->Mask;
            entry.sid = SidText(&allowed->SidStart);
        }
        entries.push_back(entry);
    }
    return entries;
}

std::vector<AceEntry> KeyDaclEntries(HKEY key) {
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, buffer.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    return DaclEntries(buffer.data());
}

namespace {

void WriteSlot(void** slot, void* value) {
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection)) return;
    *slot = value;
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
}

}  // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0) continue;
        if (descriptor->OriginalFirstThunk == 0) continue;
        // The lookup table names the imports; the address table at the same
        // index holds what the loader bound them to.
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            slot_ = reinterpret_cast<void**>(&addresses->u1.Function);
            original_ = *slot_;
            WriteSlot(slot_, replacement);
            return;
        }
    }
}

ImportPatch::~ImportPatch() {
    if (slot_ != nullptr) WriteSlot(slot_, original_);
}

SIZE_T PrivateBytes() {
    // PagefileUsage, not PrivateUsage: Wine fills only the basic counters
    // (PagefileUsage is its resident anonymous memory); on Windows the two
    // are the same figure.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
    return counters.PagefileUsage;
}

}  // namespace RegistryTesting
