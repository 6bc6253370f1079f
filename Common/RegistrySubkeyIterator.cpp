#include "RegistrySubkeyIterator.h"

RegistrySubkeyIterator::RegistrySubkeyIterator(const RegistryKey& key, EPosition where)
    : RegistryWalk(key, eSubkeyNames, where) {}

RegistrySubkeyIterator::~RegistrySubkeyIterator() = default;

std::unique_ptr<RegistryKey> RegistrySubkeyIterator::Produce(const CString& name) const {
  return std::unique_ptr<RegistryKey>(new (std::nothrow) RegistryKey(key_, name, RegistryKey::kKeyAccess));
}

RegistryKey* RegistrySubkeyIterator::Placeholder() {
  static RegistryKey none(static_cast<HKEY>(nullptr), RegistryKey::kKeyAccess);
  // Whatever a caller did to it last time is undone.
  none = RegistryKey(static_cast<HKEY>(nullptr), RegistryKey::kKeyAccess);
  return &none;
}
