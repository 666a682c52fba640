#pragma once

#include <unknwn.h>

#include "com_object.h"

namespace z5calc {

// A class factory for one served class; counts as a live object of the module.
class ClassFactory final : public ComIdentity<ClassFactory, IClassFactory> {
  public:
    using Create = HRESULT (*)(REFIID riid, void** ppv);
    explicit ClassFactory(Create create) noexcept : create_(create) {}
    static std::span<const InterfaceEntry> interfaces() noexcept;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                             void** ppv) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

  private:
    ~ClassFactory() override = default;
    Create create_;
};

}  // namespace z5calc
