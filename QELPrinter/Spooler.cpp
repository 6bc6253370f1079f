#include "Spooler.h"

#include <cstring>
#include <vector>

Spooler::Spooler() : printer_(nullptr), lastError_(ERROR_SUCCESS) {}

Spooler::~Spooler() { ClosePrinterHandle(); }

bool Spooler::Failed() {
  lastError_ = GetLastError();
  // A failure must never read as success to a caller that looks at the code.
  if (lastError_ == ERROR_SUCCESS) lastError_ = ERROR_GEN_FAILURE;
  return false;
}

void Spooler::ClosePrinterHandle() {
  if (printer_) ClosePrinter(printer_);
  printer_ = nullptr;
}

bool Spooler::AddLocalPrinter(PRINTER_INFO_2A& printer) {
  ClosePrinterHandle();
  // Clear first: a code left from an earlier call must not decide anything.
  SetLastError(ERROR_SUCCESS);
  printer_ = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  if (!printer_) return Failed();
  lastError_ = ERROR_SUCCESS;
  // Nothing is done with the new printer here.
  ClosePrinterHandle();
  return true;
}

bool Spooler::DriverDirectory(const char* environment, CString* directory) {
  if (!directory) return false;
  // The spooler only reads the environment's text.
  char* named = const_cast<char*>(environment);
  DWORD needed = 0;
  GetPrinterDriverDirectoryA(nullptr, named, 1, nullptr, 0, &needed);
  if (needed == 0) return Failed();
  std::vector<char> buffer(needed + 1, '\0');
  if (!GetPrinterDriverDirectoryA(nullptr, named, 1, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed))
    return Failed();
  *directory = CString(buffer.data(), strnlen(buffer.data(), buffer.size() - 1));
  return !directory->IsEmpty();
}

bool Spooler::AddDriver(DRIVER_INFO_3A& driver) {
  if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver))) return Failed();
  lastError_ = ERROR_SUCCESS;
  return true;
}
