// Reading and writing whole files in tests.
#pragma once

#include <string>

namespace TestSupport {

// The file's bytes (read while others may hold it open); empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
// The file's bytes as UTF-8 text decoded to UTF-16.
std::wstring ReadUtf8File(const std::wstring& path);
// Replace the file with `bytes`, or with the UTF-8 form of `text`; false on failure.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool WriteUtf8File(const std::wstring& path, const std::wstring& text);
bool FileExists(const std::wstring& path);

}  // namespace TestSupport
