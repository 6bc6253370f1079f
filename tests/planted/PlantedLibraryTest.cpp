// System libraries come from the system directory only, and so do the DLLs
// they import. A rasapi32.dll of the wrong origin waits beside one copy of
// this program and, for the other copy, in the current directory;
// QELSystemExt (loaded from the build's program folder, one up) must reach
// the stand-in in the system directory instead. Each test first proves that
// a load by bare name would have taken the planted copy.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "LoadedLibrary.h"
#include "PlantedLibrary.h"
#include "RawRegistry.h"
#include "RasDoubleKey.h"

namespace {

const std::string kStore = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\RASEntries";

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

std::string Parent(const std::string& folder) { return folder.substr(0, folder.find_last_of('\\')); }

bool HasPlanted(const std::string& folder) {
  return GetFileAttributesA((folder + "\\rasapi32.dll").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The folder a load by bare name takes `name` from; "" when none loads.
std::string BareLoadFolder(const char* name) {
  HMODULE module = LoadLibraryA(name);
  if (!module) return "";
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH - 1);
  FreeLibrary(module);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

class PlantedLibrary : public testing::Test {
 protected:
  void SetUp() override {
    RawDeleteTree(HKEY_LOCAL_MACHINE, RasDoubleKey());
    RawDeleteTree(HKEY_CURRENT_USER, kStore);
    RawSetValue(HKEY_LOCAL_MACHINE, RasDoubleKey() + "\\Phonebook", "Office", REG_BINARY, entry_.data(),
                static_cast<DWORD>(entry_.size()));
  }
  void TearDown() override {
    RawDeleteTree(HKEY_LOCAL_MACHINE, RasDoubleKey());
    RawDeleteTree(HKEY_CURRENT_USER, kStore);
  }
  // GetRASEntry("Office") as a host calls it; the stand-in answers 0.
  DWORD SaveEntry() {
    HMODULE dll = LoadLibraryA((Parent(ProgramFolder()) + "\\QELSystemExt.dll").c_str());
    auto get = reinterpret_cast<DWORD (*)(const char*)>(reinterpret_cast<void*>(GetProcAddress(dll, "GetRASEntry")));
    DWORD result = get ? get("Office") : ERROR_PROC_NOT_FOUND;
    FreeLibrary(dll);
    return result;
  }

  // A Windows 2000 phonebook entry: only its size field matters here.
  std::string entry_ = std::string("\x28\x08\0\0", 4) + std::string(2084, '\0');
};

TEST_F(PlantedLibrary, BesideTheHost) {
  ASSERT_EQ(ProgramFolder(), BareLoadFolder("rasapi32.dll")) << "the trap is set";
  DWORD result = SaveEntry();
  EXPECT_EQ(0u, result) << (result == kPlantedLibraryAnswer ? "the planted library answered" : "");
  EXPECT_EQ(entry_, ReadRawValue(HKEY_CURRENT_USER, kStore, "Office").Bytes());

  // A system library's own import, planted here too, comes from the system
  // directory with it.
  ASSERT_EQ(ProgramFolder(), BareLoadFolder("QELLoadOrderBase.dll")) << "the trap is set";
  LoadedLibrary top("QELLoadOrderTop.dll");
  auto baseOrigin = top.Entry<DWORD (*)()>("BaseOrigin");
  ASSERT_NE(nullptr, baseOrigin) << top.LastError();
  EXPECT_EQ(kSystemLibraryAnswer, baseOrigin());
}

TEST_F(PlantedLibrary, InTheCurrentDirectory) {
  std::string planted = Parent(ProgramFolder()) + "\\planted";
  ASSERT_FALSE(HasPlanted(ProgramFolder())) << "this copy runs from a clean folder";
  ASSERT_TRUE(HasPlanted(planted)) << "the trap is set";
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(planted.c_str()));
  std::string bareLoad = BareLoadFolder("rasapi32.dll");
  DWORD result = SaveEntry();
  SetCurrentDirectoryA(previous);
  ASSERT_EQ(planted, bareLoad) << "the trap is set (the current directory is searched first)";
  EXPECT_EQ(0u, result) << (result == kPlantedLibraryAnswer ? "the planted library answered" : "");
  EXPECT_EQ(entry_, ReadRawValue(HKEY_CURRENT_USER, kStore, "Office").Bytes());
}

}  // namespace
