// The fault cases, one file each. Every case builds what it needs, runs the
// plug-in through Tavrel.dll as the host does, and takes its setup down
// again (the parent resets the prefix too, after a crash).
#pragma once

#include "Verdict.h"

namespace Faults {

void NoProductPath(Verdict& verdict);
void LogFolderBlocked(Verdict& verdict);
void ExceptionKeyJunk(Verdict& verdict);
void LargeStartMenu(Verdict& verdict);
void BrokenShortcuts(Verdict& verdict);
void UnlistableFolder(Verdict& verdict);

}  // namespace Faults
