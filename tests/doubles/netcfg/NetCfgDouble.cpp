#include "NetCfgDouble.h"

#include <devguid.h>

namespace {

std::string Narrow(const wchar_t* text) {
  std::string out = text ? "" : "(null)";
  for (; text && *text; ++text) out += static_cast<char>(*text);
  return out;
}

std::string ClassName(const GUID* guid) {
  return guid && IsEqualGUID(*guid, GUID_DEVCLASS_NETSERVICE) ? "NetService" : "other class";
}

std::string InterfaceName(REFIID iid) {
  if (IsEqualIID(iid, IID_INetCfgClass)) return "INetCfgClass";
  if (IsEqualIID(iid, IID_INetCfgClassSetup)) return "INetCfgClassSetup";
  return "other interface";
}

// The token of an install on the user's behalf: the type, nothing else.
std::string Token(const OBO_TOKEN* token) {
  bool user = token && token->Type == OBO_USER && !token->pncc && !token->pszwManufacturer && !token->pszwProduct &&
              !token->pszwDisplayName && !token->fRegistered;
  return user ? "for the user" : "other token";
}

class Object : public IClassFactory,
               public INetCfg,
               public INetCfgLock,
               public INetCfgComponent,
               public INetCfgClass,
               public INetCfgClassSetup {
 public:
  explicit Object(NetCfgDouble& owner) : owner_(owner) {}
  virtual ~Object() = default;

  // The class factory's own reference belongs to the registration, not to
  // the code under test.
  ULONG STDMETHODCALLTYPE AddRef() override { return ++owner_.outstanding; }
  ULONG STDMETHODCALLTYPE Release() override { return --owner_.outstanding; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) *out = static_cast<IClassFactory*>(this);
    if (IsEqualIID(iid, IID_INetCfg)) *out = static_cast<INetCfg*>(this);
    if (IsEqualIID(iid, IID_INetCfgLock) && owner_.answers.lockInterface) *out = static_cast<INetCfgLock*>(this);
    if (IsEqualIID(iid, IID_INetCfgComponent)) *out = static_cast<INetCfgComponent*>(this);
    if (IsEqualIID(iid, IID_INetCfgClass)) *out = static_cast<INetCfgClass*>(this);
    if (IsEqualIID(iid, IID_INetCfgClassSetup)) *out = static_cast<INetCfgClassSetup*>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (FAILED(owner_.answers.create)) return owner_.answers.create;
    return QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  HRESULT STDMETHODCALLTYPE Initialize(PVOID reserved) override { return Log("Initialize", S_OK); }
  HRESULT STDMETHODCALLTYPE Uninitialize() override { return Log("Uninitialize", S_OK); }
  HRESULT STDMETHODCALLTYPE Apply() override { return Log("Apply", owner_.answers.apply); }
  HRESULT STDMETHODCALLTYPE Cancel() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumComponents(const GUID*, IEnumNetCfgComponent**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumComponents(IEnumNetCfgComponent**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindComponent(LPCWSTR id, INetCfgComponent** found) override {
    Log("FindComponent " + Narrow(id), S_OK);
    *found = nullptr;
    if (!owner_.answers.installed) return S_FALSE;
    return QueryInterface(IID_INetCfgComponent, reinterpret_cast<void**>(found));
  }
  HRESULT STDMETHODCALLTYPE QueryNetCfgClass(const GUID* netClass, REFIID iid, void** out) override {
    Log("QueryNetCfgClass " + ClassName(netClass) + " " + InterfaceName(iid), S_OK);
    return QueryInterface(iid, out);
  }

  HRESULT STDMETHODCALLTYPE AcquireWriteLock(DWORD wait, LPCWSTR client, LPWSTR* holder) override {
    std::string asked = holder ? " asking for the holder" : "";
    return Log("AcquireWriteLock " + std::to_string(wait) + " " + Narrow(client) + asked, owner_.answers.lock);
  }
  HRESULT STDMETHODCALLTYPE ReleaseWriteLock() override { return Log("ReleaseWriteLock", S_OK); }
  HRESULT STDMETHODCALLTYPE IsWriteLocked(LPWSTR*) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE GetClassGuid(GUID* guid) override {
    *guid = GUID_DEVCLASS_NETSERVICE;
    return Log("GetClassGuid", owner_.answers.classGuid);
  }
  HRESULT STDMETHODCALLTYPE GetDisplayName(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDisplayName(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetHelpText(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCharacteristics(LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetInstanceGuid(GUID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPnpDevNodeId(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBindName(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDeviceStatus(ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OpenParamKey(HKEY*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RaisePropertyUi(HWND, DWORD, IUnknown*) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE SelectAndInstall(HWND, OBO_TOKEN*, INetCfgComponent**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Install(LPCWSTR id, OBO_TOKEN* token, DWORD flags, DWORD build, LPCWSTR answerFile,
                                    LPCWSTR answerSections, INetCfgComponent** installed) override {
    std::string answers = answerFile || answerSections ? " with answers" : "";
    HRESULT result = Log("Install " + Narrow(id) + " " + Token(token) + " flags " + std::to_string(flags) +
                             " build " + std::to_string(build) + answers,
                         owner_.answers.install);
    *installed = nullptr;
    if (SUCCEEDED(result)) {
      owner_.answers.installed = true;
      QueryInterface(IID_INetCfgComponent, reinterpret_cast<void**>(installed));
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE DeInstall(INetCfgComponent* component, OBO_TOKEN* token, LPWSTR* references) override {
    std::string which = component == static_cast<INetCfgComponent*>(this) ? "the component" : "another component";
    std::string refs = references ? " asking for references" : "";
    HRESULT result = Log("DeInstall " + which + " " + Token(token) + refs, owner_.answers.deinstall);
    if (SUCCEEDED(result)) owner_.answers.installed = false;
    return result;
  }

 private:
  HRESULT Log(const std::string& call, HRESULT result) {
    owner_.calls.push_back(call);
    return result;
  }
  NetCfgDouble& owner_;
};

}  // namespace

NetCfgDouble::NetCfgDouble() : factory_(new Object(*this)), cookie_(0) {
  registration = CoRegisterClassObject(CLSID_CNetCfg, factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  // What the registration holds is not the code's to give back.
  outstanding = 0;
}

NetCfgDouble::~NetCfgDouble() {
  CoRevokeClassObject(cookie_);
  delete static_cast<Object*>(factory_);
}
