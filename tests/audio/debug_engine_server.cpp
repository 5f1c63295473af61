// A stand-in for XACT's debug engine, for the tests of engine creation: a COM
// in-process server whose one class hands out the release engine of
// xactengine3_7 and counts how often it was asked. The tests register it
// under the debug engine's class identifier in the Wine prefix's registry.
#include <windows.h>
#include <initguid.h>  // the class identifiers are defined here

#include <xact3.h>

namespace {

LONG g_created = 0;

class DebugEngineFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // A static object: counting references would change nothing.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    InterlockedIncrement(&g_created);
    return CoCreateInstance(CLSID_XACTEngine, nullptr, CLSCTX_INPROC_SERVER, riid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

DebugEngineFactory g_factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE OrvanteDebugEngineGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (!IsEqualCLSID(clsid, CLSID_XACTDebugEngine)) {
    *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return g_factory.QueryInterface(riid, out);
}

extern "C" HRESULT STDAPICALLTYPE OrvanteDebugEngineCanUnloadNow() { return S_FALSE; }

// How many engines the class has handed out in this process.
extern "C" LONG OrvanteDebugEnginesCreated() { return g_created; }
