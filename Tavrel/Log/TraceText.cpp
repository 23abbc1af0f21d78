#include "Tavrel/Log/TraceText.h"

#include <cwchar>
#include <new>

namespace Tavrel::Log {

TraceText::TraceText(const wchar_t* text) noexcept : text_(inline_) {
    const size_t length = text != nullptr ? std::wcslen(text) : 0;
    wchar_t* copy = inline_;
    if (length > kInlineLength) {
        heap_.reset(new (std::nothrow) wchar_t[length + 1]);
        if (heap_ == nullptr) {
            text_ = text;
            return;
        }
        copy = heap_.get();
    }
    std::wmemcpy(copy, text != nullptr ? text : L"", length);
    copy[length] = L'\0';
    text_ = copy;
}

}  // namespace Tavrel::Log
