// A system DLL that imports another (QELLoadOrderBase.dll), loaded through
// the library's LoadedLibrary: its import must come from beside it in the
// system directory, not from the host's folder.
#include <windows.h>

extern "C" __declspec(dllimport) DWORD Origin();

extern "C" __declspec(dllexport) DWORD BaseOrigin() { return Origin(); }
