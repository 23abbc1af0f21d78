// Results of the exported functions. Callers are only promised "0 / 1 /
// negative"; the distinct negative values help when reading a debugger.
#pragma once

#include <stdint.h>

namespace Quennet::Status {

constexpr int32_t Ok = 0;
constexpr int32_t AlreadyRunning = 1;
constexpr int32_t InvalidArgument = -1;  // null or empty module, null text with bytes, null folder
constexpr int32_t FolderUnusable = -2;   // the folder cannot be created or is not a folder
constexpr int32_t NotRunning = -3;       // null handle, or not the running service's handle
constexpr int32_t WriteFailed = -4;      // the module's file cannot be opened or written
constexpr int32_t OutOfMemory = -5;
constexpr int32_t Internal = -6;  // any other exception

}  // namespace Quennet::Status
