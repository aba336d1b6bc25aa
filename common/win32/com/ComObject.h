#pragma once
// The IUnknown part of a COM class, and the count that keeps a server alive.
//
//   class Thing final : public qv::win::com::ComObject<Thing, IThing, IOther> {
//   public:
//       static constexpr qv::win::com::InterfaceEntry<Thing> kInterfaces[] = {
//           qv::win::com::Expose<Thing, IThing>(IID_IThing),  // first entry also answers IUnknown
//           qv::win::com::Expose<Thing, IOther>(IID_IOther)};
//       ...
//   private:
//       qv::win::com::ModuleReference module_;  // objects that keep the server alive hold one
//   };
//   qv::win::ComPtr<Thing> thing = qv::win::com::MakeObject<Thing>(args...);
//
// Objects are made with one reference, owned by the ComPtr MakeObject returns,
// and deleted when the last reference goes.
#include <atomic>
#include <cstddef>
#include <functional>
#include <utility>

#include "common/win32/ComPtr.h"
#include "common/win32/WindowsApi.h"
#include <unknwn.h>

namespace qv::win::com {

template <class T>
struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*get)(T*);
};

// A function template rather than a lambda: tables are written inside the
// class, where it is still incomplete, and this is instantiated later.
template <class T, class I>
IUnknown* CastTo(T* object) {
    return static_cast<I*>(object);
}

template <class T, class I>
constexpr InterfaceEntry<T> Expose(const IID& iid) {
    return {&iid, &CastTo<T, I>};
}

// QueryInterface from a table; IUnknown is the table's first interface.
template <class T, std::size_t N>
HRESULT QueryFromTable(T* object, const InterfaceEntry<T> (&table)[N], REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    for (const InterfaceEntry<T>& entry : table) {
        if (IsEqualIID(iid, *entry.iid) || (&entry == &table[0] && IsEqualIID(iid, IID_IUnknown))) {
            IUnknown* found = entry.get(object);
            found->AddRef();
            *out = found;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

// Live objects and client locks of this module. A local server ends when the
// count falls to zero (the handler set here runs then); an in-process server
// answers DllCanUnloadNow from it.
class ModuleLifetime {
public:
    static void Lock() noexcept;
    static void Unlock() noexcept;
    static long Count() noexcept;
    // Called on the thread that released the last lock.
    static void SetOnLastUnlock(std::function<void()> handler);
};

// Holds one module lock for the lifetime of its owner.
class ModuleReference {
public:
    ModuleReference() noexcept { ModuleLifetime::Lock(); }
    ~ModuleReference() { ModuleLifetime::Unlock(); }
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;
};

template <class Derived, class... Interfaces>
class ComObject : public Interfaces... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return QueryFromTable(static_cast<Derived*>(this), Derived::kInterfaces, iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete static_cast<Derived*>(this);
        }
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    std::atomic<ULONG> references_{1};
};

template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args) {
    ComPtr<T> result;
    result.Attach(new T(std::forward<Args>(args)...));
    return result;
}

}  // namespace qv::win::com
