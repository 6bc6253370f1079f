#include "INFKey.h"

INFKey::INFKey() : valid_(false) {}

INFKey::INFKey(const CString& name, const CString& value) : valid_(!name.IsEmpty()), name_(name), value_(value) {}

INFKey::INFKey(const INFKey& other) : valid_(false) { *this = other; }

INFKey& INFKey::operator=(const INFKey& other) {
  if (this != &other) {
    valid_ = other.valid_;
    name_ = other.name_;
    value_ = other.value_;
  }
  return *this;
}

INFKey::~INFKey() = default;

bool INFKey::operator==(const INFKey& other) const {
  if (this == &other) return true;
  return valid_ == other.valid_ && name_ == other.name_ && value_ == other.value_;
}
