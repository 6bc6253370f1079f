#pragma once
// RegistryValueIterator: walks the values of a key. The names are read when
// the walk starts; each value's type and data are read when its item is
// first asked for, so a value that has gone by then gives no item
// (IsValid() false) and the walk goes on past it.
//
//   for (RegistryValueIterator it = key.ValuesBegin(), end = key.ValuesEnd(); it != end; ++it)
//     if (it.IsValid()) use(it->Name(), it->AsString());

#include <memory>

#include "RegistryNameSnapshot.h"
#include "RegistryValue.h"

class RegistryValueIterator : public RegistryNameSnapshot {
 public:
  RegistryValueIterator(const RegistryKey& key, EPosition where);
  RegistryValueIterator(const RegistryValueIterator& other);
  RegistryValueIterator& operator=(const RegistryValueIterator& other);
  ~RegistryValueIterator() override;

  bool IsValid() const { return Current() != nullptr; }
  // The value at the position, read on first use; null when it cannot be
  // read or past the end.
  RegistryValue* Current() const;
  // Without a value: an empty record.
  RegistryValue* operator->() const;
  RegistryValue operator*() const { return *operator->(); }

  RegistryValueIterator& operator++();
  RegistryValueIterator operator++(int);
  RegistryValueIterator& operator--();
  RegistryValueIterator operator--(int);

  friend bool operator==(const RegistryValueIterator& a, const RegistryValueIterator& b) {
    return a.SameWalkAndPlace(b);
  }
  friend bool operator!=(const RegistryValueIterator& a, const RegistryValueIterator& b) { return !(a == b); }

 private:
  friend class RegistryKey;
  // FindValue's result: stands on the last name with `found` as its item,
  // so one step reaches the end.
  void HoldFound(std::unique_ptr<RegistryValue> found);
  void DiscardCurrent() override { current_.reset(); }

  mutable std::unique_ptr<RegistryValue> current_;
};
