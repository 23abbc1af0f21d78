// The test side of BxDbgRecorder.dll: switches a debug log on with it and
// reads back what it recorded.
#pragma once

#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_DebugLog.h"

namespace TestSupport {

// Switches `log` on with BxDbgRecorder.dll from the build folder and the
// level mask; fails the test when that does not work.
void SwitchOnWithRecorder(BxCommon::DebugLog& log, unsigned levelMask, const wchar_t* name = L"Test");

// Lines recorded since the last reset, in order; a reset also sets what
// BxDbgTrace answers.
std::vector<std::wstring> RecordedDebugLines();
void ResetDebugRecorder(int answer = 0);
// How often BxDbgInitialize has been called in this process.
unsigned RecordedInitializations();

}  // namespace TestSupport
