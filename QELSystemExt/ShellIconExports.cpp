// The shell icon exports: an index into the shell's icon library, moved from
// one Windows generation's icon order to the next. Applied one after the
// other they take a Windows 95 index to Windows 2000 numbering.

#include "QELSystemExt.h"

#include <climits>

#include "CurrentUserRoot.h"
#include "ExportArguments.h"

namespace {

const char kResultKey[] = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\QELIcon";

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The C runtime's reading of a decimal number (leading blanks, a sign,
// digits up to the first other character; 0 without digits), except that a
// number beyond the range of int stays at its end instead of overflowing.
int ParseIndex(const char* text) {
  while (IsBlank(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  long long magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    if (magnitude >= limit) {
      magnitude = limit;
      break;
    }
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

// n + step, held at INT_MAX rather than wrapping to a negative index.
int Shifted(int n, int step) { return n > INT_MAX - step ? INT_MAX : n + step; }

int From95To98NT(int n) {
  if (n <= 41) return n;
  if (n <= 64) return n + 5;
  return Shifted(n, 6);
}

int From98NTTo2000(int n) {
  if (n <= 46) return n;
  if (n <= 49) return n + 7;
  if (n == 50) return 107;
  if (n <= 78) return n + 6;
  if (n == 79) return 86;
  return 0;
}

int WriteTranslated(const char* index, const char* valueName, int (*translate)(int)) {
  return GuardExport(0, [=] {
    // A missing text reads as no digits at all.
    int translated = translate(index ? ParseIndex(index) : 0);
    WriteTextBelowCurrentUser(kResultKey, valueName, CString::Format("%d", translated), eOpenOrCreateKey);
    return 0;
  });
}

}  // namespace

int GetShellIcon95to98NT(const char* index) { return WriteTranslated(index, "New95", From95To98NT); }

int GetShellIcon98NTto2k(const char* index) { return WriteTranslated(index, "New98NT", From98NTTo2000); }
