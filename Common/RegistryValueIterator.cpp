#include "RegistryValueIterator.h"

RegistryValueIterator::RegistryValueIterator(const RegistryKey& key, EPosition where)
    : RegistryWalk(key, eValueNames, where) {}

RegistryValueIterator::~RegistryValueIterator() = default;

std::unique_ptr<RegistryValue> RegistryValueIterator::Produce(const CString& name) const {
  std::unique_ptr<RegistryValue> value(new (std::nothrow) RegistryValue);
  // key_ is the walk's own copy of the key; reading changes only its status.
  RegistryKey& key = const_cast<RegistryKey&>(key_);
  if (!value || !key.ReadValue(name, longestData_, *value)) value.reset();
  return value;
}

RegistryValue* RegistryValueIterator::Placeholder() {
  static RegistryValue none;
  none = RegistryValue();
  return &none;
}

void RegistryValueIterator::HoldFound(std::unique_ptr<RegistryValue> found) {
  StandOnLast();
  current_ = std::move(found);
}
