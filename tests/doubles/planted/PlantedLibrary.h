#pragma once
// What every call of a planted library answers (no Remote Access code), and
// what the system directory's copy of the load-order pair answers.
#include <windows.h>

constexpr DWORD kPlantedLibraryAnswer = 0x2000BADu;
constexpr DWORD kSystemLibraryAnswer = 0x2000600Du;
