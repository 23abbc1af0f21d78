// The shell's special folders and shortcut (.lnk) resolution. Both use COM
// objects on the calling thread and never initialise COM: the caller's thread
// must have COM initialised. Failures answer false after one line in the debug
// log; no shell or COM failure raises an exception.
#pragma once

#include <windows.h>

#include <string>

namespace InstCommon::Utility::ShellLink {

// The file-system path of a special folder (CSIDL_STARTMENU, ...). On
// failure `path` is left unchanged.
bool GetSpecialFolderPath(int csidl, std::wstring& path);

// Loads the shortcut, lets the shell resolve it without any UI (giving up
// after timeoutMs when it has to search for a moved target), and reads its
// target path (environment references left unexpanded) and description.
// A link without a file-system path resolves to an empty target. On failure
// `description` is unchanged, and so is `target` unless only the description
// could not be read.
bool ResolveShortcut(const std::wstring& shortcut, std::wstring& target, std::wstring& description, DWORD timeoutMs);

}  // namespace InstCommon::Utility::ShellLink
