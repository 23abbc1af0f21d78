// The walk over a Start Menu folder tree that finds its applications.
#pragma once

#include <windows.h>

#include <string>

#include "Tavrel/StartMenu/PcAppCtrlItem.h"

// Appends one record per file below dirPath (depth first, in listing order)
// that resolves as a shortcut to an existing ".exe" outside the filtered
// folders (ExamineShortcut answers kListed). True when every folder could be listed whole; *pdwError
// (when given) gets 160 for an empty dirPath, the listing error of a folder
// that cannot be listed or whose listing breaks off, or 0 from a call that
// ends with true (so the last one written wins). A folder reached again
// through a junction or link below itself is not scanned again, and the walk
// goes no deeper than FolderTrail::kMaxDepth folders.
bool GetCurrentUserStartMenuAppList(const std::wstring& dirPath, PcAppCtrlList& appList, DWORD* pdwError);
