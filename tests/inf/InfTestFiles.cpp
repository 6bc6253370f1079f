#include "InfTestFiles.h"

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
