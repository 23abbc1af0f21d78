// Reading and writing whole text files in tests.
#pragma once

#include <string>

namespace TestSupport {

// The file's bytes as UTF-8 text decoded to UTF-16; empty when it cannot be read.
std::wstring ReadUtf8File(const std::wstring& path);
std::string ReadBytes(const std::wstring& path);
// Replaces the file with the UTF-8 form of text; returns false on failure.
bool WriteUtf8File(const std::wstring& path, const std::wstring& text);
bool FileExists(const std::wstring& path);

}  // namespace TestSupport
