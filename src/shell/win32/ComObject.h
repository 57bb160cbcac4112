#pragma once
#include <windows.h>

#include <atomic>

#include "shell/win32/LiveObjects.h"

namespace orv {

// What every COM object of the server shares: a reference count, safe for any
// thread the shell calls from, whose last Release deletes the object, and its place
// among the live objects that keep the module loaded, from construction until its
// members are gone.
template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++refCount; }

    ULONG STDMETHODCALLTYPE Release() noexcept override
    {
        ULONG count = --refCount;
        if (count == 0)
            delete this;
        return count;
    }

protected:
    ComObject() { LiveObjects::Add(); }
    virtual ~ComObject() { LiveObjects::Remove(); }

private:
    std::atomic<ULONG> refCount = 0;
};

}  // namespace orv
