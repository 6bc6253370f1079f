#pragma once
// Where the stand-in rasapi32.dll keeps the state of one program, below
// HKEY_LOCAL_MACHINE, so that the program's tests (or another process) can
// preload and read it:
//   Phonebook        one REG_BINARY value per entry, named after it: the
//                    entry in the layout its size field names, then its
//                    alternate numbers (where its offset points, each text
//                    ended by a NUL and the list by an empty one), if any;
//                    as a reading in that layout returns it
//   Calls\00000 ...  one key per call: Function, Entry (absent for a null
//                    name), Phonebook and DeviceInfo (present only when
//                    given), Size (in), SizeOut, Bytes (the entry handed over
//                    or filled in), Result, ErrorModeAtLoad (the
//                    process's error mode while the library loaded)
//   QuerySize, QueryResult (DWORD, optional): the answer to the size query,
//                    to play a service that reports too little
//   Record (DWORD 0): keep no log (benchmarks)

#include <windows.h>

#include <string>

// "Software\QELTests\rasapi32\<program file name without .exe>"
inline std::string RasDoubleKey() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
  std::string name(path);
  name = name.substr(name.find_last_of("\\/") + 1);
  return "Software\\QELTests\\rasapi32\\" + name.substr(0, name.rfind('.'));
}
