/* A DLL the instruction check must refuse, built for the Pentium Pro and
   linked with the usual runtime (whose start-up code gives it a TLS
   directory). Beside what it must refuse it holds what the check must let
   pass: a CPUID behind an ID-flag test, an instruction in a function the
   fixture's list allows, and instruction bytes in a linker table. */
#include <cpuid.h>

/* CMOV at -O2 for the Pentium Pro. */
__declspec(dllexport) int Smallest(int a, int b) { return a < b ? a : b; }

/* CPUID with no test of the ID flag first. */
__declspec(dllexport) unsigned ReadsProcessorUnguarded(void) {
  unsigned eax, ebx, ecx, edx;
  __cpuid(0, eax, ebx, ecx, edx);
  return eax ^ ebx ^ ecx ^ edx;
}

/* __get_cpuid_max toggles the ID flag before its CPUID. */
__declspec(dllexport) unsigned ReadsProcessorGuarded(void) {
  unsigned eax, ebx, ecx, edx;
  if (__get_cpuid_max(0, 0) < 1)
    return 0;
  __cpuid(1, eax, ebx, ecx, edx);
  return eax ^ ebx ^ ecx ^ edx;
}

/* RDTSC, which the fixture's guarded list allows here. */
__declspec(dllexport) unsigned long long ListedTimestamp(void) { return __builtin_ia32_rdtsc(); }

/* XADD: a 486 has it, Windows 95's 386 does not; counted, not failed. */
__declspec(dllexport) long CountsUp(long *counter) { return __atomic_fetch_add(counter, 1, __ATOMIC_SEQ_CST); }

/* A section whose name is too long for an image. */
__attribute__((used, section(".fixturedata"))) static const char tag[] = "fixture";

/* CMOVE's bytes where GNU ld puts the exception tables: data at the end of
   the code section, which the check must not read as code. */
__asm__(".section .gcc_except_table,\"dr\"\n\t.byte 0x0f, 0x44, 0xc1\n\t.text");
