#include "SpoolerRecords.h"

#include <cstdio>

#include "RawRegistry.h"

namespace spooler {

const char kPrintKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print";
const char kControlKey[] = "Software\\QELTests\\Spooler";
const char* const kNativeEnvironment = sizeof(void*) == 8 ? "Windows x64" : "Windows NT x86";

std::string SystemFolder(const std::string& below) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  return system + below;
}

std::string DriverFolder() {
  return SystemFolder(sizeof(void*) == 8 ? "\\spool\\drivers\\x64" : "\\spool\\drivers\\w32x86");
}

std::string DriverKey(const char* environment, const std::string& model, DWORD version) {
  return std::string(kPrintKey) + "\\Environments\\" + environment + "\\Drivers\\Version-" + std::to_string(version) +
         "\\" + model;
}

std::string Record(int call, std::initializer_list<const char*> fields) {
  char key[16];
  snprintf(key, sizeof key, "\\Calls\\%04d", call);
  std::string joined;
  for (const char* field : fields) {
    RawValue value = ReadRawValue(HKEY_CURRENT_USER, kControlKey + std::string(key), field);
    std::string text = !value.Found()              ? "-"
                       : value.type == REG_DWORD   ? std::to_string(value.Dword())
                       : value.type == REG_SZ      ? value.Bytes().substr(0, value.data.size() - 1)
                                                   : value.Bytes();
    joined += (joined.empty() ? "" : "|") + text;
  }
  return joined;
}

std::string Calls() {
  std::string calls;
  size_t count = RawSubkeyNames(HKEY_CURRENT_USER, kControlKey + std::string("\\Calls")).size();
  for (size_t i = 0; i < count; ++i) calls += Record(static_cast<int>(i), {"Function", "pDriverName"}) + ";";
  return calls;
}

DWORD Number(const std::string& below, const std::string& name) {
  return ReadRawValue(HKEY_CURRENT_USER, kControlKey + ("\\" + below), name).Dword();
}

bool PutSourceFile(const std::string& folder, const std::string& name) {
  FILE* file = fopen((folder + "\\" + name).c_str(), "wb");
  bool written = file && fputs(folder.c_str(), file) >= 0;
  return file && fclose(file) == 0 && written;
}

std::string KeptFrom(const std::string& name) {
  char text[MAX_PATH] = {};
  FILE* file = fopen((DriverFolder() + "\\3\\" + name).c_str(), "rb");
  if (!file) return "";
  size_t read = fread(text, 1, sizeof text - 1, file);
  fclose(file);
  return std::string(text, read);
}

}  // namespace spooler
