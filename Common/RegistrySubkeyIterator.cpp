#include "RegistrySubkeyIterator.h"

#include <new>

RegistrySubkeyIterator::RegistrySubkeyIterator(const RegistryKey& key, EPosition where)
    : RegistryNameSnapshot(key, eSubkeyNames, where) {}

RegistrySubkeyIterator::RegistrySubkeyIterator(const RegistrySubkeyIterator& other) : RegistryNameSnapshot(other) {
  if (other.current_) current_.reset(new (std::nothrow) RegistryKey(*other.current_));
}

RegistrySubkeyIterator& RegistrySubkeyIterator::operator=(const RegistrySubkeyIterator& other) {
  if (this != &other) {
    RegistryNameSnapshot::operator=(other);
    current_.reset(other.current_ ? new (std::nothrow) RegistryKey(*other.current_) : nullptr);
  }
  return *this;
}

RegistrySubkeyIterator::~RegistrySubkeyIterator() = default;

RegistryKey* RegistrySubkeyIterator::Current() const {
  if (!current_ && !AtEnd()) {
    const CString* name = NameAt(Position());
    if (name) current_.reset(new (std::nothrow) RegistryKey(key_, *name, RegistryKey::kKeyAccess));
  }
  return current_.get();
}

RegistryKey* RegistrySubkeyIterator::operator->() const {
  RegistryKey* key = Current();
  if (key) return key;
  // Something to point at that can do no harm: it has no root, so it never
  // opens, and deleting below it fails.
  static RegistryKey none(static_cast<HKEY>(nullptr), RegistryKey::kKeyAccess);
  none = RegistryKey(static_cast<HKEY>(nullptr), RegistryKey::kKeyAccess);
  return &none;
}

RegistrySubkeyIterator& RegistrySubkeyIterator::operator++() {
  Step(1);
  return *this;
}

RegistrySubkeyIterator RegistrySubkeyIterator::operator++(int) {
  RegistrySubkeyIterator before(*this);
  Step(1);
  return before;
}

RegistrySubkeyIterator& RegistrySubkeyIterator::operator--() {
  Step(-1);
  return *this;
}

RegistrySubkeyIterator RegistrySubkeyIterator::operator--(int) {
  RegistrySubkeyIterator before(*this);
  Step(-1);
  return before;
}
