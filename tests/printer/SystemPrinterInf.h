#pragma once
// The system printer INF of the test prefix (inf\ntprint.inf under the
// Windows directory), which these tests write. Whatever was there before
// this program started is put back when it ends.

#include <string>

#include "PrinterInfGenerator.h"

namespace SystemPrinterInf {

std::string Path();
bool Install(const printerinf::PrinterInf& inf, printerinf::Encoding encoding = printerinf::Encoding::Ansi);
// A hand-written INF: "[Version]" is added, "\n" becomes CR LF.
bool InstallText(const std::string& body);
void Remove();

}  // namespace SystemPrinterInf
