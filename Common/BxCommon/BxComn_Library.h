// Dynamically loaded libraries whose functions are looked up by name.
#pragma once

#include <windows.h>

#include "Common/BxCommon/BxComn_UniqueResource.h"

namespace BxCommon::Library {

// Owns one reference to a loaded library. A library that cannot be loaded
// leaves GetHandle() null; test it before any lookup.
class Base {
public:
    // Loads nothing when fileName is null.
    explicit Base(const wchar_t* fileName = nullptr);
    // Frees the library when one is loaded.
    virtual ~Base() = default;
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

    HMODULE GetHandle() const { return module_.Get(); }

    // The address of the exported function, or null when the library lacks
    // it or none is loaded (then with last error 6, ERROR_INVALID_HANDLE).
    // The name is converted to the conversion code page, which throws
    // BxCommon::HResultError on invalid arguments or exhausted memory.
    FARPROC GetFunction(const wchar_t* name) const;

    // Loads fileName into an object that holds no library yet. False with
    // the Windows error (5010 when a library is already held) otherwise.
    bool Load(const wchar_t* fileName, DWORD* error);

    // Frees the library; on success the handle becomes null. A failed
    // FreeLibrary keeps the handle (its error is dropped).
    bool Free();

private:
    UniqueHModule module_;
};

// A library with a fixed set of functions, bound all at once.
class Wrapper : public Base {
public:
    // Nothing loaded, nothing bound.
    Wrapper() = default;
    explicit Wrapper(const wchar_t* fileName) : Base(fileName) {}
    ~Wrapper() override = default;

    // bind: looks up every function by name, each even when an earlier one
    // is missing, stores the addresses found, and answers whether all were
    // found; *error gets 6 when nothing is loaded, else the lookup error of
    // the last function missing. !bind: clears every address; true.
    virtual bool BindFunctions(bool bind, DWORD* error) = 0;

    bool IsBound() const { return bound_; }

protected:
    // For the destructor of every concrete wrapper (a virtual call from this
    // base's destructor would not reach it): when bound, frees the library
    // and, once it is freed, clears the addresses.
    void UnbindAndFree();

    bool bound_ = false;
};

}  // namespace BxCommon::Library
