#include "NetworkConfiguration.h"

#include <netcfgn.h>

namespace {

// One COM reference handed out by a call, released when the holder goes.
template <class T>
class Held {
 public:
  Held() : p_(nullptr) {}
  ~Held() {
    if (p_) p_->Release();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  // A reference comes with every success code (not only S_OK) and is then
  // ours to release; a failed call hands out none, whatever it left behind.
  bool Keep(HRESULT result) {
    if (FAILED(result)) p_ = nullptr;
    return p_ != nullptr;
  }

 private:
  T* p_;
};

// The component is installed on behalf of the user, after system setup,
// as a fresh install (no upgrade, no answer file). True when it was.
bool Install(INetCfgClassSetup* setup, const wchar_t* componentId, OBO_TOKEN& token) {
  Held<INetCfgComponent> installed;
  HRESULT result = setup->Install(componentId, &token, NSF_POSTSYSINSTALL, 0, nullptr, nullptr, installed.Out());
  installed.Keep(result);
  return SUCCEEDED(result);
}

}  // namespace

NetworkConfiguration::NetworkConfiguration()
    : config_(nullptr), lock_(nullptr), locked_(false), initialized_(false) {}

NetworkConfiguration::~NetworkConfiguration() {
  if (initialized_) config_->Uninitialize();
  if (locked_) lock_->ReleaseWriteLock();
  if (lock_) lock_->Release();
  if (config_) config_->Release();
}

bool NetworkConfiguration::Create() {
  if (config_) return true;
  HRESULT created = CoCreateInstance(CLSID_CNetCfg, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_INetCfg,
                                     reinterpret_cast<void**>(&config_));
  if (FAILED(created)) config_ = nullptr;
  return config_ != nullptr;
}

bool NetworkConfiguration::Lock(DWORD waitMilliseconds, const wchar_t* clientDescription) {
  if (!config_) return false;
  if (!lock_ && FAILED(config_->QueryInterface(IID_INetCfgLock, reinterpret_cast<void**>(&lock_)))) lock_ = nullptr;
  if (!lock_) return false;
  // S_FALSE means another client has it.
  locked_ = locked_ || lock_->AcquireWriteLock(waitMilliseconds, clientDescription, nullptr) == S_OK;
  return locked_;
}

void NetworkConfiguration::Initialize() {
  if (!config_ || initialized_) return;
  config_->Initialize(nullptr);
  initialized_ = true;
}

bool NetworkConfiguration::Reinstall(const wchar_t* componentId, const GUID& serviceClass) {
  if (!config_) return true;
  OBO_TOKEN token = {};
  token.Type = OBO_USER;

  Held<INetCfgComponent> present;
  HRESULT found = config_->FindComponent(componentId, present.Out());
  present.Keep(found);
  if (found == S_OK && present.Get()) {
    // Through the component's own class: removed first, then installed anew.
    GUID componentClass;
    if (FAILED(present->GetClassGuid(&componentClass))) return true;
    Held<INetCfgClass> netClass;
    if (!netClass.Keep(config_->QueryNetCfgClass(&componentClass, IID_INetCfgClass, netClass.OutVoid()))) return true;
    Held<INetCfgClassSetup> setup;
    if (!setup.Keep(netClass->QueryInterface(IID_INetCfgClassSetup, setup.OutVoid()))) return true;
    // Still referenced by other components, it stays installed.
    HRESULT removed = setup->DeInstall(present.Get(), &token, nullptr);
    bool gone = SUCCEEDED(removed) && removed != NETCFG_S_STILL_REFERENCED;
    return Install(setup.Get(), componentId, token) || !gone;
  }
  Held<INetCfgClassSetup> setup;
  if (setup.Keep(config_->QueryNetCfgClass(&serviceClass, IID_INetCfgClassSetup, setup.OutVoid())))
    Install(setup.Get(), componentId, token);
  return true;
}

void NetworkConfiguration::Apply() {
  if (config_) config_->Apply();
}

void NetworkConfiguration::Cancel() {
  if (config_) config_->Cancel();
}
