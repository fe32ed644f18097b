#include "app/win32/accessibility.h"

#include <oleacc.h>

#include "app/win32/binding.h"

namespace qvl {

namespace {

// mingw-w64's static IID_IAccessible is unusable; the GUID spelt out.
constexpr GUID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The standard object of the window, every answer passed on, its state with
// STATE_SYSTEM_OFFSCREEN added.
class Offscreen final : public IAccessible {
 public:
  explicit Offscreen(IAccessible* inner) : inner_(inner) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG n = InterlockedDecrement(&refs_);
    if (n == 0) {
      inner_->Release();
      delete this;
    }
    return n;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    return inner_->GetTypeInfoCount(n);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
    return inner_->GetTypeInfo(i, l, t);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l,
                                          DISPID* d) override {
    return inner_->GetIDsOfNames(r, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v,
                                   EXCEPINFO* e, UINT* a) override {
    return inner_->Invoke(d, r, l, f, p, v, e, a);
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT hr = inner_->get_accState(child, state);
    if (SUCCEEDED(hr) && IsSelf(child) && state->vt == VT_I4) state->lVal |= STATE_SYSTEM_OFFSCREEN;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override {
    return inner_->get_accParent(p);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override {
    return inner_->get_accChildCount(n);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** d) override {
    return inner_->get_accChild(c, d);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT c, BSTR* s) override {
    return inner_->get_accName(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* s) override {
    return inner_->get_accValue(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* s) override {
    return inner_->get_accDescription(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* r) override {
    return inner_->get_accRole(c, r);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* s) override {
    return inner_->get_accHelp(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, long* t) override {
    return inner_->get_accHelpTopic(f, c, t);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* s) override {
    return inner_->get_accKeyboardShortcut(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* c) override { return inner_->get_accFocus(c); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* c) override {
    return inner_->get_accSelection(c);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* s) override {
    return inner_->get_accDefaultAction(c, s);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT c) override {
    return inner_->accSelect(f, c);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
    return inner_->accLocation(x, y, w, h, c);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT* e) override {
    return inner_->accNavigate(d, s, e);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* c) override {
    return inner_->accHitTest(x, y, c);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override {
    return inner_->accDoDefaultAction(c);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR s) override {
    return inner_->put_accName(c, s);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR s) override {
    return inner_->put_accValue(c, s);
  }

 private:
  IAccessible* inner_;
  LONG refs_ = 1;
};

}  // namespace

LRESULT OffscreenObject(HWND hwnd, WPARAM wp, LPARAM lp) {
  if (static_cast<LONG>(lp) != OBJID_CLIENT) return 0;
  using CreateFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using ResultFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  try {
    static const auto create = Bind<CreateFn>(L"oleacc.dll", "CreateStdAccessibleObject");
    static const auto result = Bind<ResultFn>(L"oleacc.dll", "LresultFromObject");
    InitialiseComForThread();
    IAccessible* inner = nullptr;
    if (FAILED(create(hwnd, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&inner))))
      return 0;
    auto* object = new Offscreen(inner);
    const LRESULT r = result(kIAccessible, wp, object);
    object->Release();  // the result holds its own reference
    return r > 0 ? r : 0;
  } catch (const RuntimeError&) {
    return 0;  // no accessibility library: the system answers
  }
}

}  // namespace qvl
