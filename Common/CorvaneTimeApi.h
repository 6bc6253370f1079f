#pragma once
// Linkage of the time classes. QELPrinter exports them whole (members,
// tables of virtual operations and type information); a host that includes
// these headers imports them from QELPrinter.dll; the other builds of the
// common library (QELSystemExt, tests, tools) carry them as plain code.
//   CORVANE_TIME_EXPORT  building QELPrinter
//   CORVANE_TIME_STATIC  building anything else of ours
//   neither              a host using QELPrinter.dll

#if defined(CORVANE_TIME_EXPORT)
#define CORVANE_TIME_API __declspec(dllexport)
#elif defined(CORVANE_TIME_STATIC)
#define CORVANE_TIME_API
#else
#define CORVANE_TIME_API __declspec(dllimport)
#endif
