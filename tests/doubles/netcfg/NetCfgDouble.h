#pragma once
// A network configuration service of our own, registered as the class of
// CLSID_CNetCfg for the calling thread's apartment while a NetCfgDouble
// lives. Each object it makes keeps the state the service keeps: whether it
// is initialised, whether it holds the machine's one write lock, and the
// configuration in memory (the file sharing component present or not), which
// only Apply makes the machine's own; TCP/IP is there, as on every Windows
// 2000 machine. It answers out of order as the service does
// (NETCFG_E_NOT_INITIALIZED, NETCFG_E_ALREADY_INITIALIZED,
// NETCFG_E_NO_WRITE_LOCK). Every interface it hands out is an object of its
// own with its own reference count, so a test sees which interface a program
// kept or gave back once too often. It logs each configuration call as a
// line of text; failures are injected through `answers`.

#include <windows.h>

#include <netcfgx.h>

#include <memory>
#include <string>
#include <vector>

struct NetCfgAnswers {
  HRESULT create = S_OK;
  bool lockInterface = true;
  HRESULT lock = S_OK;  // S_FALSE: another client holds it
  HRESULT find = S_OK;  // a failure code: the search itself fails
  HRESULT classGuid = S_OK;
  HRESULT deinstall = S_OK;
  HRESULT install = S_OK;  // any success code hands the new component out
  HRESULT apply = S_OK;
};

class NetCfgDouble {
 public:
  NetCfgDouble();
  ~NetCfgDouble();
  NetCfgDouble(const NetCfgDouble&) = delete;
  NetCfgDouble& operator=(const NetCfgDouble&) = delete;

  HRESULT registration;
  NetCfgAnswers answers;
  // The machine's configuration: whether the file sharing component is
  // installed. Changed only by an applied pass.
  bool installed = false;
  // "AcquireWriteLock 5 Corvane Systems", "FindComponent ms_server", ...
  std::vector<std::string> calls;
  // What a program did that the service would not survive or that would
  // leave the machine locked: an interface released once too often, a call
  // through an interface after its last release, an object given up while
  // initialised or holding the write lock.
  std::vector<std::string> faults;

  // Every interface still referenced, as "INetCfgLock 1"; empty when every
  // reference handed out was given back.
  std::vector<std::string> Outstanding() const;

  class Configuration;

 private:
  friend class Configuration;
  IClassFactory* factory_;
  DWORD cookie_;
  std::vector<std::unique_ptr<Configuration>> objects_;  // all it made, freed with it
  Configuration* lockHolder_ = nullptr;
};
