#pragma once
// INF files for the tests, written to a folder of this program's own under
// the temporary folder and removed again.

#include <string>
#include <vector>

class InfTestFolder {
 public:
  InfTestFolder();
  ~InfTestFolder();
  InfTestFolder(const InfTestFolder&) = delete;
  InfTestFolder& operator=(const InfTestFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Writes `name` in the folder (the text as given, bytes as they are) and
  // returns its full path.
  std::string Write(const std::string& name, const std::string& text);
  std::string WriteBytes(const std::string& name, const std::vector<unsigned char>& bytes);

 private:
  std::string path_;
  std::vector<std::string> files_;
};

// "[Version]" with a Windows NT signature and CR LF line ends added to the
// given lines (written with "\n").
std::string InfText(const std::string& body);
// The same text as UTF-16LE with a byte-order mark.
std::vector<unsigned char> Utf16WithBom(const std::string& text);
