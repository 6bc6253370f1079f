#include "NetCfgDouble.h"

#include <devguid.h>

// What the service answers follows Microsoft's network configuration
// reference: INetCfgLock::AcquireWriteLock (only before Initialize or after
// Uninitialize, else NETCFG_E_ALREADY_INITIALIZED; S_FALSE when the wait
// elapsed), INetCfg::Initialize (a second call NETCFG_E_ALREADY_INITIALIZED),
// INetCfg::Uninitialize (NETCFG_E_NOT_INITIALIZED before Initialize),
// INetCfg::Apply (NETCFG_E_NO_WRITE_LOCK without the lock), INetCfg::Cancel
// (drops the proposed changes), and INetCfgClassSetup (every method
// NETCFG_E_NO_WRITE_LOCK without the lock).

namespace {

const wchar_t kComponentId[] = L"ms_server";
// The TCP/IP protocol, which every Windows 2000 machine has.
const wchar_t kTcpIpId[] = L"ms_tcpip";

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

// Which object an interface belongs to: QueryInterface answers for it.
enum EIdentity { kConfig, kComponent, kTcpIp, kClass };

}  // namespace

class NetCfgDouble::Configuration {
 public:
  explicit Configuration(NetCfgDouble& service);

  HRESULT Query(EIdentity identity, REFIID iid, void** out);
  // After a release: an object whose last reference went is checked once.
  void Released();
  void Outstanding(std::vector<std::string>& out) const;

  NetCfgDouble& service;
  bool initialized = false, locked = false, given = false;
  bool present = false;  // the component, in the configuration in memory

 private:
  // IUnknown of one interface: a count of its own.
  template <class Interface>
  class Counted : public Interface {
   public:
    Counted(Configuration& object, EIdentity identity, const char* name)
        : object_(object), identity_(identity), name_(name) {}
    virtual ~Counted() = default;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override {
      if (count_ == 0) {
        object_.service.faults.push_back(std::string(name_) + " released once too often");
        return 0;
      }
      --count_;
      object_.Released();
      return count_;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      return object_.Query(identity_, iid, out);
    }
    long Count() const { return count_; }
    const char* Name() const { return name_; }

   protected:
    // Logs the call and gives `result`; a call through a released
    // interface is a fault.
    HRESULT Call(const std::string& call, HRESULT result) {
      if (count_ == 0) object_.service.faults.push_back(call + " through a released " + name_);
      object_.service.calls.push_back(call);
      return result;
    }
    NetCfgAnswers& Answers() { return object_.service.answers; }
    Configuration& object_;

   private:
    EIdentity identity_;
    const char* name_;
    long count_ = 0;
  };

  class Config : public Counted<INetCfg> {
   public:
    explicit Config(Configuration& object) : Counted(object, kConfig, "INetCfg") {}
    HRESULT STDMETHODCALLTYPE Initialize(PVOID) override {
      HRESULT result = object_.initialized ? NETCFG_E_ALREADY_INITIALIZED : S_OK;
      if (result == S_OK) {
        object_.initialized = true;
        object_.present = object_.service.installed;
      }
      return Call("Initialize", result);
    }
    // Changes not applied are gone with the configuration in memory.
    HRESULT STDMETHODCALLTYPE Uninitialize() override {
      HRESULT result = object_.initialized ? S_OK : NETCFG_E_NOT_INITIALIZED;
      object_.initialized = false;
      return Call("Uninitialize", result);
    }
    HRESULT STDMETHODCALLTYPE Apply() override {
      HRESULT result = !object_.initialized ? NETCFG_E_NOT_INITIALIZED
                       : !object_.locked    ? NETCFG_E_NO_WRITE_LOCK
                                            : Answers().apply;
      if (SUCCEEDED(result)) object_.service.installed = object_.present;
      return Call("Apply", result);
    }
    HRESULT STDMETHODCALLTYPE Cancel() override {
      HRESULT result = object_.initialized ? S_OK : NETCFG_E_NOT_INITIALIZED;
      if (result == S_OK) object_.present = object_.service.installed;
      return Call("Cancel", result);
    }
    HRESULT STDMETHODCALLTYPE EnumComponents(const GUID*, IEnumNetCfgComponent**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindComponent(LPCWSTR id, INetCfgComponent** found) override {
      if (!found) return Call("FindComponent " + Narrow(id), E_POINTER);
      *found = nullptr;
      HRESULT result = !object_.initialized ? NETCFG_E_NOT_INITIALIZED : Answers().find;
      if (result == S_OK) {
        bool ours = id && lstrcmpiW(id, kComponentId) == 0 && object_.present;
        bool tcpIp = id && lstrcmpiW(id, kTcpIpId) == 0;
        void** out = reinterpret_cast<void**>(found);
        result = ours ? object_.Query(kComponent, IID_INetCfgComponent, out)
                 : tcpIp ? object_.Query(kTcpIp, IID_INetCfgComponent, out)
                         : S_FALSE;
      }
      return Call("FindComponent " + Narrow(id), result);
    }
    HRESULT STDMETHODCALLTYPE QueryNetCfgClass(const GUID* netClass, REFIID iid, void** out) override {
      std::string call = "QueryNetCfgClass " + ClassName(netClass) + " " + InterfaceName(iid);
      if (!out) return Call(call, E_POINTER);
      *out = nullptr;
      if (!object_.initialized) return Call(call, NETCFG_E_NOT_INITIALIZED);
      if (ClassName(netClass) != "NetService") return Call(call, E_INVALIDARG);
      if (!IsEqualIID(iid, IID_INetCfgClass) && !IsEqualIID(iid, IID_INetCfgClassSetup))
        return Call(call, E_NOINTERFACE);
      return Call(call, object_.Query(kClass, iid, out));
    }
  };

  class Lock : public Counted<INetCfgLock> {
   public:
    explicit Lock(Configuration& object) : Counted(object, kConfig, "INetCfgLock") {}
    HRESULT STDMETHODCALLTYPE AcquireWriteLock(DWORD wait, LPCWSTR client, LPWSTR* holder) override {
      std::string call = "AcquireWriteLock " + std::to_string(wait) + " " + Narrow(client) +
                         (holder ? " asking for the holder" : "");
      if (holder) *holder = nullptr;  // the holder's name is not modelled
      Configuration*& owner = object_.LockHolder();
      HRESULT result = object_.initialized         ? NETCFG_E_ALREADY_INITIALIZED
                       : Answers().lock != S_OK     ? Answers().lock
                       : owner && owner != &object_ ? S_FALSE
                                                    : S_OK;
      if (result == S_OK) {
        object_.locked = true;
        owner = &object_;
      }
      return Call(call, result);
    }
    // Released under the same rule as it is acquired.
    HRESULT STDMETHODCALLTYPE ReleaseWriteLock() override {
      HRESULT result = object_.initialized ? NETCFG_E_ALREADY_INITIALIZED
                       : !object_.locked   ? NETCFG_E_NO_WRITE_LOCK
                                           : S_OK;
      if (result == S_OK) object_.Unlock();
      return Call("ReleaseWriteLock", result);
    }
    HRESULT STDMETHODCALLTYPE IsWriteLocked(LPWSTR*) override { return E_NOTIMPL; }
  };

  class Component : public Counted<INetCfgComponent> {
   public:
    Component(Configuration& object, EIdentity identity, const char* name, const GUID& netClass)
        : Counted(object, identity, name), netClass_(netClass) {}
    HRESULT STDMETHODCALLTYPE GetClassGuid(GUID* guid) override {
      if (!guid) return Call("GetClassGuid", E_POINTER);
      HRESULT result = Answers().classGuid;
      if (SUCCEEDED(result)) *guid = netClass_;
      return Call("GetClassGuid", result);
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
    const GUID netClass_;
  };

  class Class : public Counted<INetCfgClass> {
   public:
    explicit Class(Configuration& object) : Counted(object, kClass, "INetCfgClass") {}
    HRESULT STDMETHODCALLTYPE FindComponent(LPCWSTR, INetCfgComponent**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumComponents(IEnumNetCfgComponent**) override { return E_NOTIMPL; }
  };

  class Setup : public Counted<INetCfgClassSetup> {
   public:
    explicit Setup(Configuration& object) : Counted(object, kClass, "INetCfgClassSetup") {}
    HRESULT STDMETHODCALLTYPE SelectAndInstall(HWND, OBO_TOKEN*, INetCfgComponent**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Install(LPCWSTR id, OBO_TOKEN* token, DWORD flags, DWORD build, LPCWSTR answerFile,
                                      LPCWSTR answerSections, INetCfgComponent** installed) override {
      std::string call = "Install " + Narrow(id) + " " + Token(token) + " flags " + std::to_string(flags) +
                         " build " + std::to_string(build) + (answerFile || answerSections ? " with answers" : "");
      if (installed) *installed = nullptr;
      HRESULT result = Changing();
      if (result == S_OK && (!id || lstrcmpiW(id, kComponentId) != 0)) result = E_INVALIDARG;
      if (result == S_OK) result = Answers().install;
      if (SUCCEEDED(result)) {
        object_.present = true;
        if (installed) object_.Query(kComponent, IID_INetCfgComponent, reinterpret_cast<void**>(installed));
      }
      return Call(call, result);
    }
    HRESULT STDMETHODCALLTYPE DeInstall(INetCfgComponent* component, OBO_TOKEN* token, LPWSTR* references) override {
      bool ours = component == static_cast<INetCfgComponent*>(&object_.component_);
      std::string call = std::string("DeInstall ") + (ours ? "the component" : "another component") + " " +
                         Token(token) + (references ? " asking for references" : "");
      if (references) *references = nullptr;
      HRESULT result = Changing();
      if (result == S_OK && (!ours || !object_.present)) result = E_INVALIDARG;
      if (result == S_OK) result = Answers().deinstall;
      // Still referenced by other components, it stays.
      if (SUCCEEDED(result) && result != NETCFG_S_STILL_REFERENCED) object_.present = false;
      return Call(call, result);
    }

   private:
    HRESULT Changing() const {
      return !object_.locked ? NETCFG_E_NO_WRITE_LOCK : !object_.initialized ? NETCFG_E_NOT_INITIALIZED : S_OK;
    }
  };

  // The machine's one write lock: the object that holds it, if any.
  Configuration*& LockHolder() { return service.lockHolder_; }
  void Unlock() {
    locked = false;
    if (LockHolder() == this) LockHolder() = nullptr;
  }

  Config config_;
  Lock lock_;
  Component component_, tcpIp_;
  Class class_;
  Setup setup_;
};

NetCfgDouble::Configuration::Configuration(NetCfgDouble& owner)
    : service(owner), config_(*this), lock_(*this),
      component_(*this, kComponent, "INetCfgComponent", GUID_DEVCLASS_NETSERVICE),
      tcpIp_(*this, kTcpIp, "INetCfgComponent of TCP/IP", GUID_DEVCLASS_NETTRANS), class_(*this), setup_(*this) {}

HRESULT NetCfgDouble::Configuration::Query(EIdentity identity, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  bool unknown = IsEqualIID(iid, IID_IUnknown);
  IUnknown* found = nullptr;
  if (identity == kConfig && (unknown || IsEqualIID(iid, IID_INetCfg))) found = &config_;
  if (identity == kConfig && IsEqualIID(iid, IID_INetCfgLock) && service.answers.lockInterface) found = &lock_;
  if (identity == kComponent && (unknown || IsEqualIID(iid, IID_INetCfgComponent))) found = &component_;
  if (identity == kTcpIp && (unknown || IsEqualIID(iid, IID_INetCfgComponent))) found = &tcpIp_;
  if (identity == kClass && (unknown || IsEqualIID(iid, IID_INetCfgClass))) found = &class_;
  if (identity == kClass && IsEqualIID(iid, IID_INetCfgClassSetup)) found = &setup_;
  if (!found) return E_NOINTERFACE;
  found->AddRef();
  *out = found;
  return S_OK;
}

// The program's last word on the configuration: it must be uninitialised
// and unlocked by then (Microsoft's reference asks for Uninitialize before
// the last Release), or the machine's lock would stay taken.
void NetCfgDouble::Configuration::Released() {
  if (config_.Count() > 0 || lock_.Count() > 0 || given) return;
  given = true;
  if (initialized) service.faults.push_back("configuration given up while initialised");
  if (locked) service.faults.push_back("configuration given up holding the write lock");
  Unlock();
}

void NetCfgDouble::Configuration::Outstanding(std::vector<std::string>& out) const {
  auto add = [&out](const char* name, long count) {
    if (count > 0) out.push_back(std::string(name) + " " + std::to_string(count));
  };
  add(config_.Name(), config_.Count());
  add(lock_.Name(), lock_.Count());
  add(component_.Name(), component_.Count());
  add(tcpIp_.Name(), tcpIp_.Count());
  add(class_.Name(), class_.Count());
  add(setup_.Name(), setup_.Count());
}

namespace {

// The class object's own references belong to COM's registration.
class Factory : public IClassFactory {
 public:
  explicit Factory(NetCfgDouble& service, std::vector<std::unique_ptr<NetCfgDouble::Configuration>>& objects)
      : service_(service), objects_(objects) {}
  virtual ~Factory() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (FAILED(service_.answers.create)) return service_.answers.create;
    objects_.emplace_back(new NetCfgDouble::Configuration(service_));
    return objects_.back()->Query(kConfig, iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  NetCfgDouble& service_;
  std::vector<std::unique_ptr<NetCfgDouble::Configuration>>& objects_;
};

}  // namespace

NetCfgDouble::NetCfgDouble() : factory_(new Factory(*this, objects_)), cookie_(0) {
  registration = CoRegisterClassObject(CLSID_CNetCfg, factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

NetCfgDouble::~NetCfgDouble() {
  CoRevokeClassObject(cookie_);
  delete static_cast<Factory*>(factory_);
}

std::vector<std::string> NetCfgDouble::Outstanding() const {
  std::vector<std::string> out;
  for (const auto& object : objects_) object->Outstanding(out);
  return out;
}
