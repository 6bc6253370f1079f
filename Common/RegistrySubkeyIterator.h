#pragma once
// RegistrySubkeyIterator: walks the subkeys of a key. Each item is a key
// below the walked key, named by the subkey's name, not yet opened:
//
//   for (RegistrySubkeyIterator it = key.SubkeysBegin(), end = key.SubkeysEnd(); it != end; ++it)
//     if (it->Open(RegistryKey::kKeyAccess)) ...

#include <memory>

#include "RegistryNameSnapshot.h"

class RegistrySubkeyIterator : public RegistryNameSnapshot {
 public:
  RegistrySubkeyIterator(const RegistryKey& key, EPosition where);
  RegistrySubkeyIterator(const RegistrySubkeyIterator& other);
  RegistrySubkeyIterator& operator=(const RegistrySubkeyIterator& other);
  ~RegistrySubkeyIterator() override;

  bool IsValid() const { return Current() != nullptr; }
  // The key at the position, made on first use; null past the end.
  RegistryKey* Current() const;
  // Past the end: a key that never opens.
  RegistryKey* operator->() const;
  RegistryKey operator*() const { return *operator->(); }

  RegistrySubkeyIterator& operator++();
  RegistrySubkeyIterator operator++(int);
  RegistrySubkeyIterator& operator--();
  RegistrySubkeyIterator operator--(int);

  friend bool operator==(const RegistrySubkeyIterator& a, const RegistrySubkeyIterator& b) {
    return a.SameWalkAndPlace(b);
  }
  friend bool operator!=(const RegistrySubkeyIterator& a, const RegistrySubkeyIterator& b) { return !(a == b); }

 private:
  void DiscardCurrent() override { current_.reset(); }

  mutable std::unique_ptr<RegistryKey> current_;
};
