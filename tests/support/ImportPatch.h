// Points this program's import of one function at a stand-in for the life of
// the object. The code under test is linked in statically, so its calls go
// through this program's import table.
#pragma once

namespace TestSupport {

class ImportPatch {
public:
    // dll as named in the import table, case ignored ("advapi32.dll").
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // What the import pointed at before, or null when it was not found (and
    // nothing was patched).
    void* Original() const { return original_; }
    template <typename Function>
    Function OriginalAs() const {
        return reinterpret_cast<Function>(original_);
    }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace TestSupport
