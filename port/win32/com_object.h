// Reference counting and QueryInterface shared by the port's COM objects that
// stand behind one interface of their own.
#pragma once

#include "win32.h"

template <class Interface>
class PortComObject : public Interface {
 public:
  explicit PortComObject(const IID& iid) : iid_(iid) {}
  HRESULT QueryInterface(REFIID wanted, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (wanted != iid_ && wanted != IID_IUnknown) return QueryOtherInterface(wanted, object);
    AddRef();
    *object = static_cast<Interface*>(this);
    return S_OK;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  // Interfaces reached through this object besides its own; none by default.
  virtual HRESULT QueryOtherInterface(REFIID, void**) { return E_NOINTERFACE; }

 private:
  const IID& iid_;
  ULONG references_ = 1;
};
