// Giving back what the statically linked C++ runtime keeps for the life of a
// DLL built here, when that DLL is unloaded.
#pragma once

namespace Tavrel::Runtime {

// Called from the load handler on DLL_PROCESS_DETACH with its `reserved`
// argument. Null (FreeLibrary): the runtime's memory is freed after the DLL's
// last static destructor. Non-null (process exit): nothing is freed, since
// the other threads were stopped wherever they were, maybe inside the heap.
void NoteProcessDetach(const void* reserved) noexcept;

}  // namespace Tavrel::Runtime
