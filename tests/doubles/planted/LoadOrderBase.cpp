// A DLL that another system DLL imports (as rasapi32.dll imports rasman.dll):
// one copy in the system directory, one planted beside the host. Each says
// which it is.
#include <windows.h>

#include "PlantedLibrary.h"

extern "C" __declspec(dllexport) DWORD Origin() {
#ifdef QEL_PLANTED
  return kPlantedLibraryAnswer;
#else
  return kSystemLibraryAnswer;
#endif
}
