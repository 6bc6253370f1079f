// A host of QELPrinter.dll built against the installed tree only: its
// header and import library.
#include "Check.h"
#include "QELPrinter.h"

int main() {
  Check check;
  const std::string key = "Software\\QELTests\\InstalledHost\\QELPrinter";

  ++check.called;
  check.That(SetCurrentUserKey("HKCU") == 0, "SetCurrentUserKey gives 0");

  ++check.called;
  check.That(WriteRegistryValue(CString(key.c_str()), CString("Written"), CString("yes")),
             "WriteRegistryValue reports the value stored");
  check.That(ReadValue(HKEY_CURRENT_USER, key, "Written") == std::string("yes\0", 4),
             "WriteRegistryValue stores REG_SZ text with its NUL");

  // Requests that never reach the spooler: the outcome is "false".
  ++check.called;
  check.That(InstallPrinter(nullptr) == 0 && InstallPrinter("") == 0, "InstallPrinter refuses no request");
  check.That(ReadValue(HKEY_CURRENT_USER, "Software\\Corvane Systems\\Hollowmarch\\QELPrinter",
                       "Successful Install") == std::string("false\0", 6),
             "InstallPrinter records false");

  // The exported time classes, reached through their members.
  ++check.called;
  Corvane::SystemTime now = Corvane::SystemTime::ClockTime();
  Corvane::SystemTime later = now + Corvane::SystemTime(Corvane::SystemTime::IntervalsPerSecond());
  check.That(later > now, "SystemTime arithmetic and comparison");

  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  return check.Finish("QELPrinter");
}
