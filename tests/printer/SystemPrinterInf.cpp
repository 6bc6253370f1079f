#include "SystemPrinterInf.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace SystemPrinterInf {

namespace {

bool ReadFile(const std::string& path, std::vector<unsigned char>* bytes) {
  FILE* in = fopen(path.c_str(), "rb");
  if (!in) return false;
  unsigned char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) bytes->insert(bytes->end(), buffer, buffer + got);
  fclose(in);
  return true;
}

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* out = fopen(path.c_str(), "wb");
  if (!out) return false;
  bool written = fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return fclose(out) == 0 && written;
}

class KeepOriginal : public testing::Environment {
 public:
  void SetUp() override {
    CreateDirectoryA(Folder().c_str(), nullptr);
    existed_ = ReadFile(Path(), &original_);
  }
  void TearDown() override {
    if (existed_)
      WriteFile(Path(), original_);
    else
      DeleteFileA(Path().c_str());
  }

 private:
  static std::string Folder() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\inf";
  }
  bool existed_ = false;
  std::vector<unsigned char> original_;
};

testing::Environment* const g_keepOriginal = testing::AddGlobalTestEnvironment(new KeepOriginal);

}  // namespace

std::string Path() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  return std::string(windows) + "\\inf\\ntprint.inf";
}

bool Install(const printerinf::PrinterInf& inf, printerinf::Encoding encoding) {
  return WriteFile(Path(), inf.Bytes(encoding));
}

bool InstallText(const std::string& body) {
  std::string text = "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
  for (char c : body) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return WriteFile(Path(), std::vector<unsigned char>(text.begin(), text.end()));
}

void Remove() { DeleteFileA(Path().c_str()); }

}  // namespace SystemPrinterInf
