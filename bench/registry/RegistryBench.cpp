// Cost of one typed registry read the way the exception filter does it:
// construct a Registry, OpenForRead, GetStringValue of a 40-character string,
// Close. Prints microseconds per call, averaged over many calls (best of five
// rounds), and the read alone on a key kept open for comparison.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BenchTimer.h"
#include "Common/BxCommon/BxComn_Registry.h"

using BxCommon::Storage::Key;
using BxCommon::Storage::Registry;

namespace {

constexpr long kCalls = 20000;
constexpr wchar_t kValueName[] = L"ProductPath";
// 40 characters, a typical installation folder.
constexpr wchar_t kValue[] = L"C:\\Program Files\\Brennix\\Pellam\\Bin\\x64\\";

}  // namespace

int main() {
    static_assert(sizeof(kValue) / sizeof(kValue[0]) == 41, "40 characters and the terminator");
    const std::wstring path = L"Software\\TavrelBench\\Registry." + std::to_wstring(GetCurrentProcessId());
    const Key key(HKEY_CURRENT_USER, path.c_str());
    int status = 0;
    try {
        Registry writer(BxCommon::Storage::kView64);
        writer.Create(key, L"");
        writer.SetStringValue(kValueName, kValue);
        writer.Close(false);

        std::wstring read;
        const double perCycle = Bench::NanosecondsPerCall(kCalls, [&] {
            Registry storage(BxCommon::Storage::kView64);
            storage.OpenForRead(key, L"");
            read = storage.GetStringValue(kValueName, L"");
            storage.Close(false);
        });
        if (read != kValue) {
            std::fprintf(stderr, "registry-bench: read back the wrong text\n");
            status = 1;
        }

        Registry open(BxCommon::Storage::kView64);
        open.OpenForRead(key, L"");
        const double perRead = Bench::NanosecondsPerCall(kCalls, [&] { read = open.GetStringValue(kValueName, L""); });
        open.Close(false);

        std::printf("%-60s %10.2f us\n", "construct + OpenForRead + GetStringValue (40 chars) + Close",
                    perCycle / 1000);
        std::printf("%-60s %10.2f us\n", "GetStringValue (40 chars) on an open key", perRead / 1000);
    } catch (BxCommon::Storage::Exception* e) {
        const std::unique_ptr<BxCommon::Storage::Exception> failure(e);
        std::fprintf(stderr, "registry-bench: storage error %lu at %s:%d\n",
                     static_cast<unsigned long>(failure->GetErrorCode()), failure->GetFile().c_str(),
                     failure->GetLine());
        status = 1;
    }
    RegDeleteKeyExW(HKEY_CURRENT_USER, path.c_str(), KEY_WOW64_64KEY, 0);
    return status;
}
