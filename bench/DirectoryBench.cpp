// Walking a folder of 10,000 files with DirectoryIterator against a bare
// FindFirstFileA/FindNextFileA loop, both reading every name.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchTiming.h"
#include "DirectoryIterator.h"

namespace {

const int kFiles = 10000;
const int kRounds = 5;

void MakeFiles(const std::string& folder) {
  CreateDirectoryA(folder.c_str(), nullptr);
  for (int i = 0; i < kFiles; ++i) {
    std::string path = folder + "\\file" + std::to_string(i) + ".dat";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
}

void RemoveFiles(const std::string& folder) {
  for (int i = 0; i < kFiles; ++i) DeleteFileA((folder + "\\file" + std::to_string(i) + ".dat").c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main() {
  const std::string folder = "C:\\QELDirectoryBench";
  MakeFiles(folder);
  const std::string pattern = folder + "\\*.*";

  bench::Result walk{"directory walk vs FindFirstFileA/FindNextFileA, 10,000 files", {}, {}};
  size_t oursSeen = 0, bareSeen = 0;
  for (int round = 0; round < kRounds; ++round) {
    walk.ours.push_back(bench::Timed([&] {
      for (DirectoryIterator it(FilePath(CString(pattern.c_str())), false, nullptr, true, FindFilterRef());
           it.IsValid(); ++it)
        oursSeen += it.Current().Name().Length();
    }));
    walk.bare.push_back(bench::Timed([&] {
      WIN32_FIND_DATAA entry;
      HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
      if (search == INVALID_HANDLE_VALUE) return;
      do {
        if (strcmp(entry.cFileName, ".") && strcmp(entry.cFileName, "..")) bareSeen += strlen(entry.cFileName);
      } while (FindNextFileA(search, &entry));
      FindClose(search);
    }));
  }
  bench::PrintHeader();
  bench::Report(walk);
  RemoveFiles(folder);
  if (oursSeen != bareSeen) {
    printf("the walks saw different names (%zu vs %zu bytes)\n", oursSeen, bareSeen);
    return 1;
  }
  return 0;
}
