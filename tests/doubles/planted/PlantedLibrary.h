#pragma once
// What every call of the planted rasapi32.dll answers: no Remote Access code.
#include <windows.h>

constexpr DWORD kPlantedLibraryAnswer = 0x2000BADu;
