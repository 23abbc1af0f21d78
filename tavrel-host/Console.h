// Text in and out of the host: UTF-8 on pipes and files, UTF-16 on a console.
#pragma once

#include <string>

namespace TavrelHost {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

void WriteOut(const std::wstring& text);
void WriteError(const std::wstring& text);

// Everything on standard input, as bytes.
std::string ReadStandardInput();
// A whole file's bytes; throws HostError when it cannot be read.
std::string ReadWholeFile(const std::wstring& path);

}  // namespace TavrelHost
