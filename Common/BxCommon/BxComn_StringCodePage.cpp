#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Common/BxCommon/BxComn_HResultError.h"
#include "Common/BxCommon/BxComn_String.h"

namespace BxCommon::String {
namespace {

// 0 is CP_ACP, a code page; no code page has this number.
constexpr UINT kCodePageUnknown = 0xFFFFFFFF;

UINT ChooseConversionCodePage() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool modernNt =
        GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
#pragma GCC diagnostic pop
    if (modernNt) return CP_THREAD_ACP;

    char digits[8] = {};
    if (GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof digits) != 0) {
        UINT codePage = static_cast<UINT>(strtoul(digits, nullptr, 10));
        if (codePage != 0) return codePage;
    }
    return GetACP();
}

[[noreturn]] void ThrowLastError() {
    DWORD error = GetLastError();
    if (error == ERROR_INVALID_PARAMETER) throw HResultError(E_INVALIDARG);
    if (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY) throw HResultError(E_OUTOFMEMORY);
    throw HResultError(HRESULT_FROM_WIN32(error));
}

}  // namespace

UINT ConversionCodePage() {
    // A plain cache that every first caller writes with the same value. A
    // function-local static would be guarded through the threads library,
    // which leaves a per-thread record (two handles) behind each time the
    // module is unloaded.
    static std::atomic<UINT> cached{kCodePageUnknown};
    UINT codePage = cached.load(std::memory_order_relaxed);
    if (codePage == kCodePageUnknown) {
        codePage = ChooseConversionCodePage();
        cached.store(codePage, std::memory_order_relaxed);
    }
    return codePage;
}

ToConversionCodePage::ToConversionCodePage(const wchar_t* text) {
    if (text == nullptr) return;
    const size_t units = wcslen(text) + 1;
    if (units > static_cast<size_t>(INT_MAX) / 4) throw HResultError(E_INVALIDARG);
    const UINT codePage = ConversionCodePage();

    int capacity = static_cast<int>(units * 4);
    char* target = inPlace_.data();
    if (static_cast<size_t>(capacity) > inPlace_.size()) {
        onHeap_.reset(new (std::nothrow) char[static_cast<size_t>(capacity)]);
        if (!onHeap_) throw HResultError(E_OUTOFMEMORY);
        target = onHeap_.get();
    }
    if (WideCharToMultiByte(codePage, 0, text, -1, target, capacity, nullptr, nullptr) == 0) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) ThrowLastError();
        capacity = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
        if (capacity == 0) ThrowLastError();
        onHeap_.reset(new (std::nothrow) char[static_cast<size_t>(capacity)]);
        if (!onHeap_) throw HResultError(E_OUTOFMEMORY);
        target = onHeap_.get();
        if (WideCharToMultiByte(codePage, 0, text, -1, target, capacity, nullptr, nullptr) == 0) ThrowLastError();
    }
    text_ = target;
}

std::unique_ptr<wchar_t[]> FromConversionCodePage(const char* text) {
    if (text == nullptr) return nullptr;
    const size_t units = strlen(text) + 1;
    if (units >= 0x40000000) return nullptr;
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[units]());
    if (!wide) return nullptr;
    if (MultiByteToWideChar(ConversionCodePage(), 0, text, -1, wide.get(), static_cast<int>(units)) == 0)
        return nullptr;
    return wide;
}

}  // namespace BxCommon::String
