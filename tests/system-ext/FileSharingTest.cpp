// InstallFileShare2k against the stand-in network configuration object,
// registered for the test thread's apartment.
#include <gtest/gtest.h>

#include <objbase.h>

#include <devguid.h>

#include "NetCfgDouble.h"
#include "QELSystemExt.h"

namespace {

typedef std::vector<std::string> Calls;

const Calls kLocked = {"AcquireWriteLock 5 Corvane Systems", "Initialize", "FindComponent ms_server"};
const Calls kFresh = {"QueryNetCfgClass NetService INetCfgClassSetup",
                      "Install ms_server for the user flags 2 build 0"};
const Calls kAgain = {"GetClassGuid", "QueryNetCfgClass NetService INetCfgClass",
                      "DeInstall the component for the user", "Install ms_server for the user flags 2 build 0"};
const Calls kEnd = {"Apply", "Uninitialize", "ReleaseWriteLock"};
const Calls kCancelled = {"Cancel", "Uninitialize", "ReleaseWriteLock"};

Calls Joined(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class FileSharing : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    netcfg_.reset(new NetCfgDouble);
    ASSERT_EQ(S_OK, netcfg_->registration);
  }
  void TearDown() override {
    netcfg_.reset();
    CoUninitialize();
  }
  // One export call, which must give back every reference it took and
  // leave the service unlocked and uninitialised.
  int Pass() {
    netcfg_->calls.clear();
    int result = InstallFileShare2k();
    EXPECT_EQ(Calls(), netcfg_->Outstanding());
    EXPECT_EQ(Calls(), netcfg_->faults);
    return result;
  }
  std::unique_ptr<NetCfgDouble> netcfg_;
};

}  // namespace

TEST_F(FileSharing, AnAbsentServiceIsInstalledAndAPresentOneInstalledAgain) {
  EXPECT_EQ(1, Pass());
  EXPECT_EQ(Joined({kLocked, kFresh, kEnd}), netcfg_->calls);
  EXPECT_TRUE(netcfg_->installed);

  EXPECT_EQ(1, Pass());
  EXPECT_EQ(Joined({kLocked, kAgain, kEnd}), netcfg_->calls);
  EXPECT_TRUE(netcfg_->installed);

  // A search that fails is taken for an absent service.
  netcfg_->answers.find = E_FAIL;
  EXPECT_EQ(1, Pass());
  EXPECT_EQ(Joined({kLocked, kFresh, kEnd}), netcfg_->calls);
  EXPECT_TRUE(netcfg_->installed);
}

TEST_F(FileSharing, WithoutTheLockNothingChanges) {
  NetCfgAnswers& answers = netcfg_->answers;
  answers.lock = S_FALSE;  // another client holds it
  EXPECT_EQ(0, Pass());
  EXPECT_EQ(Calls{kLocked[0]}, netcfg_->calls);
  answers.lock = S_OK;
  answers.lockInterface = false;
  EXPECT_EQ(0, Pass());
  answers.lockInterface = true;
  answers.create = E_OUTOFMEMORY;
  EXPECT_EQ(0, Pass());
  EXPECT_EQ(Calls(), netcfg_->calls);
  EXPECT_FALSE(netcfg_->installed);
}

TEST_F(FileSharing, LaterFailuresNeverLeaveTheMachineWithoutTheService) {
  NetCfgAnswers& answers = netcfg_->answers;
  // Removed, then the install fails: the pass is dropped and the host told.
  netcfg_->installed = true;
  answers.install = E_FAIL;
  EXPECT_EQ(0, Pass());
  EXPECT_EQ(Joined({kLocked, kAgain, kCancelled}), netcfg_->calls);
  EXPECT_TRUE(netcfg_->installed);

  // Not removed: the failed install changes nothing, and the pass applies.
  answers.deinstall = E_FAIL;
  EXPECT_EQ(1, Pass());
  EXPECT_EQ(Joined({kLocked, kAgain, kEnd}), netcfg_->calls);
  EXPECT_TRUE(netcfg_->installed);

  // A reinstall that cannot find the component's class still applies.
  answers = NetCfgAnswers();
  answers.classGuid = E_FAIL;
  EXPECT_EQ(1, Pass());
  EXPECT_EQ(Joined({kLocked, {"GetClassGuid"}, kEnd}), netcfg_->calls);
  EXPECT_TRUE(netcfg_->installed);

  // A new component handed out with a code that asks for a restart is
  // released like any other.
  netcfg_->installed = false;
  answers = NetCfgAnswers();
  answers.install = NETCFG_S_REBOOT;
  EXPECT_EQ(1, Pass());
  EXPECT_TRUE(netcfg_->installed);
}

TEST(FileSharingCom, TheCallersComIsLeftAsItWas) {
  // A thread with COM already: the export's own initialisation is undone.
  ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  {
    NetCfgDouble netcfg;
    EXPECT_EQ(1, InstallFileShare2k());
    EXPECT_EQ(Calls(), netcfg.Outstanding());
  }
  CoUninitialize();
  // A thread of another apartment model: the export's initialisation fails,
  // and it must not take the thread's COM away.
  ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "COM left initialised";
  {
    NetCfgDouble netcfg;
    EXPECT_EQ(1, InstallFileShare2k());
    EXPECT_EQ(Calls(), netcfg.Outstanding());
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "COM taken away";
    CoUninitialize();
  }
  CoUninitialize();
}

// TCP/IP is on every Windows 2000 machine: found, as a protocol.
TEST_F(FileSharing, TheServiceHasTcpIp) {
  INetCfg* config = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_CNetCfg, nullptr, CLSCTX_INPROC_SERVER, IID_INetCfg,
                                   reinterpret_cast<void**>(&config)));
  ASSERT_EQ(S_OK, config->Initialize(nullptr));
  INetCfgComponent* tcpIp = nullptr;
  GUID netClass = {};
  ASSERT_EQ(S_OK, config->FindComponent(L"MS_TCPIP", &tcpIp));
  EXPECT_EQ(S_OK, tcpIp->GetClassGuid(&netClass));
  EXPECT_TRUE(IsEqualGUID(GUID_DEVCLASS_NETTRANS, netClass));
  tcpIp->Release();
  config->Uninitialize();
  config->Release();
  EXPECT_EQ(Calls(), netcfg_->Outstanding());
}
