#pragma once
// One printer the host asks for, as a single text:
//
//   printer name|driver model|port|comment|share name
//
// A run of "|" is one separator, so an empty field cannot be given: the
// fields after it move up; a double-byte character is never split. Fields
// past the fifth are ignored. A comment or share name that is exactly "NULL"
// means none; a printer with a share name, or with none given at all, is
// asked for as shared.
//
// Install asks the spooler to add the printer. When the spooler lacks the
// driver model, the driver is installed from the system printer INF
// (PrinterDriverFromINF) and the spooler is asked once more, with the
// model's current name when the INF knows the asked one as a previous name.
// A printer the spooler already has, on either try, is eExists.

#include <windows.h>
#include <winspool.h>

#include <vector>

#include "CString.h"

class PrinterInstallRequest {
 public:
  enum EOutcome { eFailed, eAdded, eExists };
  static constexpr size_t kFields = 5;

  // Null or empty: a request without fields.
  explicit PrinterInstallRequest(const char* request);
  virtual ~PrinterInstallRequest();

  EOutcome Install();
  // What the host reads for an outcome: "false", "true" or "exists".
  static const char* OutcomeText(EOutcome outcome);

  // Field 1 to 5; null when the request has no such field.
  const CString* Field(size_t number) const;

 private:
  // Points into the fields, which must stay unchanged while it is used.
  PRINTER_INFO_2A Record() const;

  std::vector<CString> fields_;
};
