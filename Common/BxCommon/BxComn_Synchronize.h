// Mutual exclusion: the common library's lock family.
#pragma once

#include <windows.h>

namespace BxCommon::Synchronize {

class Base {
public:
    virtual ~Base() = default;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;

protected:
    Base() = default;
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;
};

// A Windows critical section: re-entrant for the thread that holds it (every
// Lock needs its own Unlock). It must not be held when it is destroyed.
class CriticalSection : public Base {
public:
    CriticalSection();
    ~CriticalSection() override;
    void Lock() override;
    void Unlock() override;

private:
    CRITICAL_SECTION section_;
};

// Holds `object` locked from construction to destruction, also when an
// exception leaves the scope. A null object is allowed and does nothing.
class SingleLock {
public:
    explicit SingleLock(Base* object);
    virtual ~SingleLock();
    SingleLock(const SingleLock&) = delete;
    SingleLock& operator=(const SingleLock&) = delete;

private:
    Base* object_;
};

}  // namespace BxCommon::Synchronize
