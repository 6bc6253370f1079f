#include "ErrorModeScope.h"

// Reading the mode means setting it (GetErrorMode came with Vista).
ErrorModeScope::ErrorModeScope(UINT modes) : previous_(SetErrorMode(modes)) { SetErrorMode(previous_ | modes); }

ErrorModeScope::~ErrorModeScope() { SetErrorMode(previous_); }
