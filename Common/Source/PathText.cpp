#include "Common/Source/PathText.h"

namespace ParentControl {

std::wstring LowerCaseLetters(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

}  // namespace ParentControl
