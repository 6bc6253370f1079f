#pragma once
// NetworkConfiguration: the Windows 2000 network configuration object and
// its write lock, the one owner of their COM interfaces. Everything it did
// is undone by the destructor, in reverse: the configuration uninitialised,
// the lock released, the interfaces released. COM must be initialised on the
// thread for the object's whole life (ComApartment).
//
//   NetworkConfiguration config;
//   if (config.Create() && config.Lock(5, L"...")) { config.Initialize(); ...; config.Apply(); }

#include <windows.h>

#include <netcfgx.h>

class NetworkConfiguration {
 public:
  NetworkConfiguration();
  ~NetworkConfiguration();
  NetworkConfiguration(const NetworkConfiguration&) = delete;
  NetworkConfiguration& operator=(const NetworkConfiguration&) = delete;

  // In-process or local server, whichever the system offers.
  bool Create();
  // False when another client holds the lock past `waitMilliseconds` (the
  // holder's description is not asked for), or the object offers no lock.
  bool Lock(DWORD waitMilliseconds, const wchar_t* clientDescription);
  // The results of these are the platform's to judge: a pass goes on
  // whatever they answer.
  void Initialize();
  // Removes the component and installs it again when it is present;
  // installs it through the class `serviceClass` when it is not. False when
  // it removed the component and could not install it again: applied, that
  // configuration would leave the machine without it.
  bool Reinstall(const wchar_t* componentId, const GUID& serviceClass);
  void Apply();
  // Drops every change proposed in this pass.
  void Cancel();

 private:
  INetCfg* config_;
  INetCfgLock* lock_;
  bool locked_;
  bool initialized_;
};
