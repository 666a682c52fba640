#pragma once

#include <objbase.h>

#include <atomic>
#include <span>

#include "module_count.h"

namespace z5calc {

// One interface an object hands out: its identity and how to reach it from the object. A
// class's table of them is its QueryInterface, in the shape of the system's QITAB.
struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*reach)(void* object) noexcept;
};

template <class Class, class Interface>
constexpr InterfaceEntry interface_entry(const IID& iid) noexcept {
    return {&iid, [](void* object) noexcept -> IUnknown* {
                return static_cast<Interface*>(static_cast<Class*>(object));
            }};
}

// QueryInterface through a table: the first entry also answers IUnknown, so that every
// IUnknown the object gives is the same pointer.
HRESULT query_interface(void* object, std::span<const InterfaceEntry> table, REFIID riid,
                        void** ppv) noexcept;

// An object's reference count, from one at creation; safe on any thread.
class RefCount {
  public:
    ULONG add() noexcept { return ++refs_; }
    // The count left; the object deletes itself at zero.
    ULONG release() noexcept { return --refs_; }

  private:
    std::atomic<ULONG> refs_{1};
};

// The identity every COM object of the module shares: a reference count from one at creation,
// QueryInterface through Derived::interfaces() (its table; the first entry also answers
// IUnknown), and a hold on the module for as long as the object lives. An object is made with
// new and deletes itself at its last Release.
template <class Derived, class... Interfaces>
class ComIdentity : public Interfaces... {
  public:
    ComIdentity(const ComIdentity&) = delete;
    ComIdentity& operator=(const ComIdentity&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override {
        return query_interface(static_cast<Derived*>(this), Derived::interfaces(), riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return refs_.add(); }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const ULONG left = refs_.release();
        if (left == 0) delete this;
        return left;
    }

  protected:
    ComIdentity() noexcept { module_hold(); }
    virtual ~ComIdentity() { module_let_go(); }

  private:
    RefCount refs_;
};

}  // namespace z5calc
