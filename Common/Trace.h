#pragma once
// The system's only log: printf-style lines to the debugger output. Each line
// names its class and operation and ends with "\n", for example
// "RegistryInfo::GetHiveString - bad index 6\n". Texts of any length are
// written whole.

#include "CString.h"

void Trace(const char* format, ...) QEL_PRINTF_FORMAT(1, 2);
