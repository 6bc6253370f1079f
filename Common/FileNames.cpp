#include "FileNames.h"

#include <windows.h>

#include <climits>

using Corvane::SystemTime;

namespace {

// The text ends in "#" and one or more digits: a number of the series.
bool EndsInSeriesNumber(const CString& text, size_t* hash) {
  size_t at = text.ReverseFind('#');
  if (at == CString::npos || at + 1 == text.Length()) return false;
  for (size_t i = at + 1; i < text.Length(); ++i) {
    if (text.At(i) < '0' || text.At(i) > '9') return false;
  }
  *hash = at;
  return true;
}

bool NameIsTaken(const CString& name) { return GetFileAttributesA(name.CStr()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

CString TimeStampText(const SystemTime& time) {
  if (time.IsExtreme()) return CString();
  SYSTEMTIME calendar = SystemTime(SystemTime::eLocal, time);

  char buffer[256];
  // The length written, its NUL included; 0 on failure.
  int date = GetDateFormatA(LOCALE_USER_DEFAULT, 0, &calendar, "MM-dd-yyyy", buffer, sizeof buffer);
  if (date <= 1) return CString();
  CString stamp(buffer, static_cast<size_t>(date - 1));
  // The pictures quote the commas: hours, minutes and seconds, no colon.
  int clock = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &calendar, "hh','mm','ss tt", buffer, sizeof buffer);
  if (clock > 1) {
    stamp += ' ';
    stamp.Append(buffer, static_cast<size_t>(clock - 1));
  }
  return stamp;
}

FilePath FreeFileName(const FilePath& path, const SystemTime& time) {
  CString extension = path.Extension();
  if (!extension.IsEmpty()) extension = CString(".") + extension;
  FilePath withoutExtension(path);
  withoutExtension.SetExtension(CString());

  CString text = withoutExtension.Text();
  size_t hash = 0;
  if (EndsInSeriesNumber(text, &hash)) text.Truncate(hash);
  CString stamp = TimeStampText(time);
  if (!stamp.IsEmpty()) text += CString("_") + stamp;

  CString candidate = text + extension;
  for (int counter = 2; NameIsTaken(candidate) && counter < INT_MAX; ++counter)
    candidate = text + CString::Format("#%d", counter) + extension;
  return FilePath(candidate);
}
