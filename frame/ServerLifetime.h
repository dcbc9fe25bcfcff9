// What DllCanUnloadNow needs to know: live objects and server locks.
#pragma once

#include <windows.h>

namespace wrang {

void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void LockServer(bool lock) noexcept;
bool CanUnloadNow() noexcept;
LONG LiveObjectCount() noexcept;

// The reference count of one object of the server, for IUnknown: the object counts as live for
// DllCanUnloadNow from its construction to its destruction, and its last Release deletes it.
template <class Derived>
class CountedObject {
protected:
    CountedObject() noexcept { ObjectCreated(); }
    ~CountedObject() { ObjectDestroyed(); }
    ULONG AddReference() noexcept { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG ReleaseReference() noexcept {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) delete static_cast<Derived*>(this);
        return static_cast<ULONG>(left);
    }

private:
    LONG m_references = 1;
};

}  // namespace wrang
