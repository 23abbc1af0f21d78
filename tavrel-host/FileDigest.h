// File digests through Windows' own hashing (CNG), for a host that must say
// exactly which file it ran.
#pragma once

#include <string>

namespace TavrelHost {

// The SHA-256 of the file's contents as 64 lower-case hexadecimal digits.
// Throws HostError naming the file and the step that failed (opening,
// reading or hashing); nothing is held afterwards either way.
std::wstring FileSha256(const std::wstring& path);

}  // namespace TavrelHost
