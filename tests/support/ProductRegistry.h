// The product's registry settings under HKEY_LOCAL_MACHINE (64-bit view),
// changed for one test and put back as they were afterwards.
#pragma once

#include <optional>
#include <string>

namespace TestSupport {

class ProductPathScope {
public:
    // Sets "ProductPath" to `folder`, or removes it when there is none.
    explicit ProductPathScope(const std::optional<std::wstring>& folder);
    ~ProductPathScope();
    ProductPathScope(const ProductPathScope&) = delete;
    ProductPathScope& operator=(const ProductPathScope&) = delete;

private:
    std::optional<std::wstring> previous_;
};

}  // namespace TestSupport
