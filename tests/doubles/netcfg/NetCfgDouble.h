#pragma once
// A network configuration object of our own, registered as the class of
// CLSID_CNetCfg for the calling thread's apartment while a NetCfgDouble
// lives. One object plays the configuration, its lock, the file sharing
// component and its class. It logs each configuration call as a line of text
// and counts the references it handed out, so a test sees what was asked and
// whether everything was given back. What it answers is set in `answers`.

#include <windows.h>

#include <netcfgx.h>

#include <string>
#include <vector>

struct NetCfgAnswers {
  HRESULT create = S_OK;
  bool lockInterface = true;
  HRESULT lock = S_OK;  // S_FALSE: another client holds it
  bool installed = false;  // the component is there (and Install/DeInstall change it)
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
  // "AcquireWriteLock 5 Corvane Systems", "FindComponent ms_server", ...
  std::vector<std::string> calls;
  // References handed out and not yet released.
  long outstanding = 0;

 private:
  IClassFactory* factory_;
  DWORD cookie_;
};
