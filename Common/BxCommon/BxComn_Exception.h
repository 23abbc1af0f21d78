// The root of the common library's exceptions. They are thrown as pointers
// to heap objects (throw new ...); whoever catches one reads its code and
// deletes it through this virtual destructor.
#pragma once

namespace BxCommon::Exception {

class Base {
public:
    virtual ~Base() = default;

protected:
    Base() = default;
    Base(const Base&) = default;
    Base& operator=(const Base&) = default;
};

}  // namespace BxCommon::Exception
