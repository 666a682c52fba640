#pragma once

#include <unknwn.h>

#include "com_object.h"

namespace z5calc {

// A class factory for one served class; counts as a live object of the module.
class ClassFactory final : public IClassFactory {
  public:
    using Create = HRESULT (*)(REFIID riid, void** ppv);
    explicit ClassFactory(Create create) noexcept;
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                             void** ppv) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

  private:
    ~ClassFactory();
    RefCount refs_;
    Create create_;
};

}  // namespace z5calc
