// InstallPrinter: the host's one printer call. The outcome goes where the
// host reads it, once per call, whatever happened.

#include "ExportArguments.h"
#include "PrinterInstallRequest.h"
#include "QELPrinter.h"

int InstallPrinter(const char* request) {
  PrinterInstallRequest::EOutcome outcome =
      GuardExport(PrinterInstallRequest::eFailed, [&] { return PrinterInstallRequest(request).Install(); });
  WriteRegistryValue("Software\\Corvane Systems\\Hollowmarch\\QELPrinter", "Successful Install",
                     PrinterInstallRequest::OutcomeText(outcome));
  return outcome == PrinterInstallRequest::eAdded ? 1 : 0;
}
