#pragma once
// A folder tree of the test's own on Wine's C: drive, named after this
// program and its process so parallel test programs never meet; the current
// directory is put back and the tree removed afterwards.

#include <windows.h>

#include <string>
#include <vector>

class TestFolder {
 public:
  TestFolder() {
    char previous[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, previous);
    previous_.assign(previous, length < MAX_PATH ? length : 0);
    root_ = "C:\\" + ProgramName() + "." + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root_.c_str(), nullptr);
  }
  ~TestFolder() {
    SetCurrentDirectoryA(previous_.c_str());
    RemoveTree(root_);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::string& Root() const { return root_; }
  // Creates the folders of a relative path below the root; returns its full path.
  std::string Folder(const std::string& relative) const {
    std::string path = root_ + "\\";
    for (size_t i = 0; i < relative.size(); ++i) {
      // A double-byte character may end in the byte of a backslash.
      if (IsDBCSLeadByte(static_cast<BYTE>(relative[i])) && i + 1 < relative.size()) {
        path += relative.substr(i++, 2);
        continue;
      }
      if (relative[i] == '\\') CreateDirectoryA(path.c_str(), nullptr);
      path += relative[i];
    }
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
  }
  // Creates a file of `size` bytes below the root; returns its full path.
  std::string File(const std::string& relative, size_t size = 0) const {
    return Write(relative, std::string(size, 'x'));
  }
  // Writes a file below the root with exactly these bytes; returns its full path.
  std::string Write(const std::string& relative, const std::string& bytes) const {
    std::string path = root_ + "\\" + relative;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      CloseHandle(file);
    }
    return path;
  }
  std::string WriteBytes(const std::string& relative, const std::vector<unsigned char>& bytes) const {
    return Write(relative, std::string(bytes.begin(), bytes.end()));
  }

  static std::string CurrentDirectory() {
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return std::string(buffer, length < MAX_PATH ? length : 0);
  }

 private:
  // The program's file name without folder and ".exe".
  static std::string ProgramName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    std::string name(path);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
  }

  static void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        std::string full = path + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveTree(full);
        else
          DeleteFileA(full.c_str());
      } while (FindNextFileA(search, &entry));
      FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
  }

  std::string previous_;
  std::string root_;
};
