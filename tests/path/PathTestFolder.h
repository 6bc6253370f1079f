#pragma once
// A folder tree of the test's own on Wine's C: drive, named after this
// program and its process so parallel runs never meet, and the current
// directory put back and the tree removed afterwards.

#include <windows.h>

#include <string>
#include <vector>

class PathTestFolder {
 public:
  PathTestFolder() {
    char previous[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, previous);
    previous_.assign(previous, length < MAX_PATH ? length : 0);
    root_ = "C:\\PathTests." + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root_.c_str(), nullptr);
  }
  ~PathTestFolder() {
    SetCurrentDirectoryA(previous_.c_str());
    RemoveTree(root_);
  }
  PathTestFolder(const PathTestFolder&) = delete;
  PathTestFolder& operator=(const PathTestFolder&) = delete;

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
  std::string File(const std::string& relative) const {
    std::string path = root_ + "\\" + relative;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return path;
  }

  static std::string CurrentDirectory() {
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return std::string(buffer, length < MAX_PATH ? length : 0);
  }

 private:
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
