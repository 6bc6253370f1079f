#pragma once
// The spooler as the printer tests read it: the printers and drivers it
// keeps where Windows keeps them (below kPrintKey), and what the spooler
// stand-in (tests/doubles/winspool) was handed, recorded below its steering
// key (kControlKey).

#include <windows.h>

#include <initializer_list>
#include <string>

namespace spooler {

// Below HKEY_LOCAL_MACHINE.
extern const char kPrintKey[];
// Below HKEY_CURRENT_USER.
extern const char kControlKey[];
// The driver environment of this build's own processes, which the product
// registers its drivers for.
extern const char* const kNativeEnvironment;

// The system directory with `below` appended ("\spool\drivers").
std::string SystemFolder(const std::string& below);
// The driver directory of kNativeEnvironment.
std::string DriverFolder();
// Below HKEY_LOCAL_MACHINE: a driver as the spooler keeps it.
std::string DriverKey(const char* environment, const std::string& model, DWORD version = 3);
// Fields of add call number `call` (from 0) joined by "|": texts as they
// are, numbers in decimal, "-" for a field left null.
std::string Record(int call, std::initializer_list<const char*> fields);
// Each add call so far as "function|driver asked for;".
std::string Calls();
// A number kept below the steering key, such as ("Counts", "AddPrinterA").
DWORD Number(const std::string& below, const std::string& name);

// A driver's file in `folder` holding the folder's path, so that a copy the
// spooler keeps tells which source it came from; false when not written.
bool PutSourceFile(const std::string& folder, const std::string& name);
// The source a file of the spooler's version-3 folder came from; empty when
// the spooler keeps no such file.
std::string KeptFrom(const std::string& name);

}  // namespace spooler
