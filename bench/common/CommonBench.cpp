// common-bench: the common library's costs that the plug-in pays per call:
// a debug-log Trace while the log is off (always, in the plug-in), and one
// DecryptStringW of a 40-character folder path (per exception entry and
// candidate application).
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchTimer.h"
#include "Common/BxCommon/BxComn_DebugLog.h"
#include "Common/BxCommon/BxComn_StringCrypt.h"
#include "Common/BxCommon/BxComn_StringEncrypt.h"

int main() {
    Bench::Report("debug log Trace, log off", Bench::NanosecondsPerCall(2000000, [] {
                      BXDBG_TRACE(BxCommon::kDebugLevelFailure, L"*** never formatted [0x%08x]", 5u);
                  }));

    const std::wstring folder = L"D:\\Family\\Children\\Games\\Strategy\\Chess2";
    std::wstring stored;
    BxCommon::Cryptograph::EncryptStringW(stored, folder);
    std::wstring out;
    Bench::Report("DecryptStringW, 40-character folder path",
                  Bench::NanosecondsPerCall(20000, [&] { BxCommon::Cryptograph::DecryptStringW(out, stored); }));
    if (out != folder || folder.size() != 40) {
        std::printf("decryption gave the wrong text\n");
        return 1;
    }
    return 0;
}
