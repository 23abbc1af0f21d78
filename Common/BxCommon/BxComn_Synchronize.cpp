#include "Common/BxCommon/BxComn_Synchronize.h"

namespace BxCommon::Synchronize {

CriticalSection::CriticalSection() { InitializeCriticalSection(&section_); }
CriticalSection::~CriticalSection() { DeleteCriticalSection(&section_); }
void CriticalSection::Lock() { EnterCriticalSection(&section_); }
void CriticalSection::Unlock() { LeaveCriticalSection(&section_); }

SingleLock::SingleLock(Base* object) : object_(object) {
    if (object_ != nullptr) object_->Lock();
}

SingleLock::~SingleLock() {
    if (object_ != nullptr) object_->Unlock();
}

}  // namespace BxCommon::Synchronize
