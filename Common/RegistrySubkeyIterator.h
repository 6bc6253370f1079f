#pragma once
// RegistrySubkeyIterator: walks the subkeys of a key. Each item is a key
// below the walked key, named by the subkey's name, not yet opened:
//
//   for (RegistrySubkeyIterator it = key.SubkeysBegin(), end = key.SubkeysEnd(); it != end; ++it)
//     if (it->Open(RegistryKey::kKeyAccess)) ...
//
// Past the end, -> gives a key without a root: it never opens, so nothing
// can be deleted below it.

#include "RegistryKey.h"
#include "RegistryWalk.h"

class RegistrySubkeyIterator : public RegistryWalk<RegistrySubkeyIterator, RegistryKey> {
 public:
  RegistrySubkeyIterator(const RegistryKey& key, EPosition where);
  RegistrySubkeyIterator(const RegistrySubkeyIterator& other) = default;
  RegistrySubkeyIterator& operator=(const RegistrySubkeyIterator& other) = default;
  ~RegistrySubkeyIterator() override;

 private:
  friend class RegistryWalk<RegistrySubkeyIterator, RegistryKey>;
  std::unique_ptr<RegistryKey> Produce(const CString& name) const;
  static RegistryKey* Placeholder();
};
