// The host program as an administrator runs it: a child process, its exit
// status and what it prints.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "RawRegistry.h"

namespace {

struct HostRun {
  DWORD status = 0xFFFFFFFF;
  std::string output;  // stdout and stderr
};

HostRun RunHost(const std::string& arguments) {
  HostRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return run;
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA start = {};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdOutput = start.hStdError = write;
  start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  std::string command = "QELHost.exe " + arguments;
  BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process);
  CloseHandle(write);
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(read);
  return run;
}

bool Has(const HostRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

}  // namespace

TEST(HostProgram, RefusesWhatItCannotCallWithAStatusAndAReason) {
  HostRun help = RunHost("--help");
  EXPECT_EQ(0u, help.status);
  for (const char* name : {"InstallPrinter", "GetRASEntry", "DllRegisterServer", "DeleteRegistryKey"})
    EXPECT_TRUE(Has(help, name)) << name;

  HostRun unknown = RunHost("QELSystemExt NoSuchExport");
  EXPECT_EQ(2u, unknown.status);
  EXPECT_TRUE(Has(unknown, "QELSystemExt has no export named NoSuchExport")) << unknown.output;
  HostRun wrongCount = RunHost("QELPrinter WriteRegistryValue key name");
  EXPECT_EQ(2u, wrongCount.status);
  EXPECT_TRUE(Has(wrongCount, "takes 3 arguments")) << wrongCount.output;
  HostRun missing = RunHost("C:\\no\\such\\folder\\QELPrinter.dll SetCurrentUserKey HKCU");
  EXPECT_EQ(3u, missing.status);
  EXPECT_TRUE(Has(missing, "cannot load C:\\no\\such\\folder\\QELPrinter.dll")) << missing.output;
}

TEST(HostProgram, ShowsTheValueTheExportWroteWhereTheHostReadsIt) {
  ScratchKey scratch;
  HostRun run = RunHost("QELSystemExt WriteRegistryValue \"" + scratch.Below("k") + "\" Name \"some text\"");
  EXPECT_EQ(0u, run.status);
  EXPECT_TRUE(Has(run, "HKEY_CURRENT_USER\\" + scratch.Below("k") + "\\Name = \"some text\" (REG_SZ, 10 bytes)"))
      << run.output;

  // Redirected to another user's key, the value is read back there.
  ScratchKey user(HKEY_USERS, ".Default\\Software");
  RawCreateKey(user.Root(), user.Path());
  run = RunHost("--user \"HKEY_USERS\\" + user.Path() + "\" QELPrinter WriteRegistryValue k Name x");
  EXPECT_EQ(0u, run.status);
  EXPECT_TRUE(Has(run, "result: true")) << run.output;
  EXPECT_TRUE(Has(run, "HKEY_USERS\\" + user.Path() + "\\k\\Name = \"x\"")) << run.output;
}
