// The log folder: from the path the caller gives to one that exists.
#pragma once

#include <string>

namespace Quennet {

// Makes `folder` a full path (GetFullPathNameW: `..` segments resolved, a
// relative path taken against the current directory, no trailing separator)
// and creates it with its missing parents. False, with `full` untouched,
// when the path is empty, holds characters that file names cannot hold, or
// does not end up naming a folder (for instance because a parent is a file).
bool PrepareFolder(const wchar_t* folder, std::wstring& full);

// `path` in the `\\?\` form when it is too long for the plain Win32 calls,
// otherwise unchanged. `path` must be a full path.
std::wstring LongPathForm(const std::wstring& path);

}  // namespace Quennet
