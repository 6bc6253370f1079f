#include "PrinterInstallRequest.h"

#include "PrinterDriverFromINF.h"
#include "Spooler.h"

namespace {

const char kNone[] = "NULL";

char* Text(const CString* field) { return field ? const_cast<char*>(field->CStr()) : nullptr; }

}  // namespace

PrinterInstallRequest::PrinterInstallRequest(const char* request) {
  if (!request) return;
  const char* at = request;
  while (*at && fields_.size() < kFields) {
    const char* end = at;
    // By characters: a double-byte character whose second byte is that of
    // "|" belongs to its field.
    while (*end && *end != '|') end += CString::IsLeadByte(static_cast<unsigned char>(*end)) && end[1] ? 2 : 1;
    if (end != at) fields_.emplace_back(at, static_cast<size_t>(end - at));
    at = *end ? end + 1 : end;
  }
}

PrinterInstallRequest::~PrinterInstallRequest() = default;

const CString* PrinterInstallRequest::Field(size_t number) const {
  return number >= 1 && number <= fields_.size() ? &fields_[number - 1] : nullptr;
}

const char* PrinterInstallRequest::OutcomeText(EOutcome outcome) {
  switch (outcome) {
    case eAdded:
      return "true";
    case eExists:
      return "exists";
    default:
      return "false";
  }
}

PRINTER_INFO_2A PrinterInstallRequest::Record() const {
  const CString* comment = Field(4);
  const CString* share = Field(5);
  bool unshared = share && *share == kNone;
  PRINTER_INFO_2A printer = {};
  printer.pPrinterName = Text(Field(1));
  printer.pDriverName = Text(Field(2));
  printer.pPortName = Text(Field(3));
  printer.pComment = comment && *comment != kNone ? Text(comment) : nullptr;
  printer.pShareName = unshared ? nullptr : Text(share);
  printer.pPrintProcessor = const_cast<char*>("WinPrint");
  printer.Attributes = unshared ? 0 : PRINTER_ATTRIBUTE_SHARED;
  return printer;
}

PrinterInstallRequest::EOutcome PrinterInstallRequest::Install() {
  // Without a driver model there is nothing the spooler or the INF could
  // find.
  if (!Field(2)) return eFailed;
  PRINTER_INFO_2A printer = Record();
  Spooler spooler;
  if (spooler.AddLocalPrinter(printer)) return eAdded;
  if (spooler.LastError() == ERROR_PRINTER_ALREADY_EXISTS) return eExists;
  if (spooler.LastError() != ERROR_UNKNOWN_PRINTER_DRIVER) return eFailed;

  PrinterDriverFromINF driver(*Field(2));
  if (!driver.InstallDriver()) return eFailed;
  printer.pDriverName = Text(&driver.modelName);
  if (spooler.AddLocalPrinter(printer)) return eAdded;
  // The printer appeared meanwhile, or the spooler checks the driver before
  // the name: either way the printer is there, as the host asked.
  return spooler.LastError() == ERROR_PRINTER_ALREADY_EXISTS ? eExists : eFailed;
}
