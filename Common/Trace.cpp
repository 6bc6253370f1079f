#include "Trace.h"

#include <windows.h>

void Trace(const char* format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  CString text = CString::FormatV(format, args);
  va_end(args);
  OutputDebugStringA(text.CStr());
}
