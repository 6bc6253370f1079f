#pragma once
// RegistryValueIterator: walks the values of a key. The names are read when
// the walk starts; each value's type and data are read when its item is
// first asked for, so a value that has gone by then gives no item
// (IsValid() false, -> an empty record) and the walk goes on past it.
//
//   for (RegistryValueIterator it = key.ValuesBegin(), end = key.ValuesEnd(); it != end; ++it)
//     if (it.IsValid()) use(it->Name(), it->AsString());

#include "RegistryKey.h"
#include "RegistryValue.h"
#include "RegistryWalk.h"

class RegistryValueIterator : public RegistryWalk<RegistryValueIterator, RegistryValue> {
 public:
  RegistryValueIterator(const RegistryKey& key, EPosition where);
  RegistryValueIterator(const RegistryValueIterator& other) = default;
  RegistryValueIterator& operator=(const RegistryValueIterator& other) = default;
  ~RegistryValueIterator() override;

 private:
  friend class RegistryKey;
  friend class RegistryWalk<RegistryValueIterator, RegistryValue>;
  std::unique_ptr<RegistryValue> Produce(const CString& name) const;
  static RegistryValue* Placeholder();
  // FindValue's result: stands on the last name with `found` as its item,
  // so one step reaches the end.
  void HoldFound(std::unique_ptr<RegistryValue> found);
};
