#pragma once
// The two exports that are found by their decorated names: they take their
// texts by C++ reference, so the compiler (mingw-w64 g++ 12) names them with
// their argument types. A host looks them up by exactly these texts;
// cmake/exports/ lists them with the rest of each DLL's exports.

// QELPrinter: bool WriteRegistryValue(const CString&, const CString&, const CString&)
constexpr char kPrinterWriteRegistryValue[] = "_Z18WriteRegistryValueRK7CStringS1_S1_";
// QELSystemExt: void DeleteRegistryKey(const std::string&, const std::string&)
constexpr char kSystemExtDeleteRegistryKey[] =
    "_Z17DeleteRegistryKeyRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES6_";
