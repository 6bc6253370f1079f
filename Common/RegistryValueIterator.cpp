#include "RegistryValueIterator.h"

#include <new>

RegistryValueIterator::RegistryValueIterator(const RegistryKey& key, EPosition where)
    : RegistryNameSnapshot(key, eValueNames, where) {}

RegistryValueIterator::RegistryValueIterator(const RegistryValueIterator& other) : RegistryNameSnapshot(other) {
  if (other.current_) current_.reset(new (std::nothrow) RegistryValue(*other.current_));
}

RegistryValueIterator& RegistryValueIterator::operator=(const RegistryValueIterator& other) {
  if (this != &other) {
    RegistryNameSnapshot::operator=(other);
    current_.reset(other.current_ ? new (std::nothrow) RegistryValue(*other.current_) : nullptr);
  }
  return *this;
}

RegistryValueIterator::~RegistryValueIterator() = default;

RegistryValue* RegistryValueIterator::Current() const {
  if (!current_ && !AtEnd()) {
    const CString* name = NameAt(Position());
    if (!name) return nullptr;
    std::unique_ptr<RegistryValue> value(new (std::nothrow) RegistryValue);
    RegistryKey& key = const_cast<RegistryKey&>(key_);
    if (value && key.ReadValue(*name, longestData_, *value)) current_ = std::move(value);
  }
  return current_.get();
}

RegistryValue* RegistryValueIterator::operator->() const {
  RegistryValue* value = Current();
  if (value) return value;
  static RegistryValue none;
  none = RegistryValue();
  return &none;
}

void RegistryValueIterator::HoldFound(std::unique_ptr<RegistryValue> found) {
  StandOnLast();
  current_ = std::move(found);
}

RegistryValueIterator& RegistryValueIterator::operator++() {
  Step(1);
  return *this;
}

RegistryValueIterator RegistryValueIterator::operator++(int) {
  RegistryValueIterator before(*this);
  Step(1);
  return before;
}

RegistryValueIterator& RegistryValueIterator::operator--() {
  Step(-1);
  return *this;
}

RegistryValueIterator RegistryValueIterator::operator--(int) {
  RegistryValueIterator before(*this);
  Step(-1);
  return before;
}
