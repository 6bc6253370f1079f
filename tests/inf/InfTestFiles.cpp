#include "InfTestFiles.h"

#include <windows.h>

#include <cstdio>

InfTestFolder::InfTestFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  path_ = std::string(temp) + "QELInfTests-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(path_.c_str(), nullptr);
}

InfTestFolder::~InfTestFolder() {
  for (const std::string& file : files_) DeleteFileA(file.c_str());
  RemoveDirectoryA(path_.c_str());
}

std::string InfTestFolder::Write(const std::string& name, const std::string& text) {
  return WriteBytes(name, std::vector<unsigned char>(text.begin(), text.end()));
}

std::string InfTestFolder::WriteBytes(const std::string& name, const std::vector<unsigned char>& bytes) {
  std::string file = path_ + "\\" + name;
  FILE* out = fopen(file.c_str(), "wb");
  if (out) {
    fwrite(bytes.data(), 1, bytes.size(), out);
    fclose(out);
  }
  files_.push_back(file);
  return file;
}

std::string InfText(const std::string& body) {
  std::string text = "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
  for (char c : body) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

std::vector<unsigned char> Utf16WithBom(const std::string& text) {
  std::vector<unsigned char> bytes = {0xFF, 0xFE};
  for (unsigned char c : text) {
    bytes.push_back(c);
    bytes.push_back(0);
  }
  return bytes;
}
