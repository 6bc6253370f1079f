#pragma once
// The local print spooler as this library uses it: adding a printer from a
// level-2 record, the printer driver directory, and registering a driver
// from a level-3 record. A printer the spooler adds comes with an open
// handle; this object holds it and closes it, the moment it is not needed.
//
// The spooler's answer is its result; the thread's last error counts only
// when the result says failure (a successful call may leave it stale).

#include <windows.h>
#include <winspool.h>

#include "CString.h"

class Spooler {
 public:
  Spooler();
  virtual ~Spooler();
  Spooler(const Spooler&) = delete;
  Spooler& operator=(const Spooler&) = delete;

  // True when the spooler added the printer on this machine. Otherwise
  // LastError() holds its code, such as ERROR_UNKNOWN_PRINTER_DRIVER or
  // ERROR_PRINTER_ALREADY_EXISTS.
  bool AddLocalPrinter(PRINTER_INFO_2A& printer);
  // The printer driver directory of this machine for `environment` (such as
  // "Windows NT x86"); false when the spooler names none.
  bool DriverDirectory(const char* environment, CString* directory);
  // Registers a driver whose files lie in the driver directory.
  bool AddDriver(DRIVER_INFO_3A& driver);

  DWORD LastError() const { return lastError_; }

 private:
  bool Failed();
  void ClosePrinterHandle();

  HANDLE printer_;
  DWORD lastError_;
};
