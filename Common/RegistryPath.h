#pragma once
// RegistryPath: a registry key named by one text, root first:
//   HKLM\SOFTWARE\Microsoft  ->  root HKEY_LOCAL_MACHINE, subkey SOFTWARE\Microsoft
// The head is the root name, long ("HKEY_LOCAL_MACHINE") or abbreviated
// ("HKLM"), matched exactly: "hklm" is no root. Texts given to the text
// constructors have a long root name shortened; nothing else in them changes.
// A head that names no root gives a null RootHandle(); opening a key on such
// a path fails.

#include <windows.h>

#include "DelimitedPath.h"

class RegistryPath : public DelimitedPath {
 public:
  RegistryPath() = default;
  explicit RegistryPath(const CString& text);
  // The root's long name, "\" and the subkey; for a handle that is no
  // predefined root, the subkey alone. Not normalised.
  RegistryPath(HKEY root, const CString& subkey);
  // The two parts joined by one separator, then normalised.
  RegistryPath(const CString& first, const CString& second);
  RegistryPath(const RegistryPath& other);
  RegistryPath& operator=(const RegistryPath& other);
  ~RegistryPath() override;

  HKEY RootHandle() const;
  bool HasRoot() const { return RootHandle() != nullptr; }

  // Ignores case (system upper-casing): hklm\software equals HKLM\SOFTWARE.
  friend bool operator==(const RegistryPath& a, const RegistryPath& b);
  friend bool operator!=(const RegistryPath& a, const RegistryPath& b) { return !(a == b); }

 private:
  void Normalise();
};
