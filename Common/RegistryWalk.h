#pragma once
// RegistryWalk: the iterator half that both registry walks share. It keeps
// the item at the position, made on first use by the walk's Produce and
// dropped on every step, and gives the walks their operators. Derived is
// the walk itself (RegistrySubkeyIterator or RegistryValueIterator).

#include <memory>
#include <new>

#include "RegistryNameSnapshot.h"

template <class Derived, class Item>
class RegistryWalk : public RegistryNameSnapshot {
 public:
  bool IsValid() const { return Current() != nullptr; }
  // The item at the position, made on first use; null past the end or when
  // it cannot be made.
  Item* Current() const {
    if (!current_ && !AtEnd()) {
      const CString* name = NameAt(Position());
      if (name) current_ = static_cast<const Derived*>(this)->Produce(*name);
    }
    return current_.get();
  }
  // Without an item, something harmless to point at (Derived::Placeholder).
  Item* operator->() const {
    Item* item = Current();
    return item ? item : Derived::Placeholder();
  }
  Item operator*() const { return *operator->(); }

  Derived& operator++() {
    Step(1);
    return Self();
  }
  Derived operator++(int) {
    Derived before(Self());
    Step(1);
    return before;
  }
  Derived& operator--() {
    Step(-1);
    return Self();
  }
  Derived operator--(int) {
    Derived before(Self());
    Step(-1);
    return before;
  }

  friend bool operator==(const Derived& a, const Derived& b) { return a.SameWalkAndPlace(b); }
  friend bool operator!=(const Derived& a, const Derived& b) { return !a.SameWalkAndPlace(b); }

 protected:
  RegistryWalk(const RegistryKey& key, EKind kind, EPosition where) : RegistryNameSnapshot(key, kind, where) {}
  RegistryWalk(const RegistryWalk& other) : RegistryNameSnapshot(other), current_(Copy(other.current_)) {}
  RegistryWalk& operator=(const RegistryWalk& other) {
    if (this != &other) {
      RegistryNameSnapshot::operator=(other);
      current_ = Copy(other.current_);
    }
    return *this;
  }

  void DiscardCurrent() override { current_.reset(); }

  mutable std::unique_ptr<Item> current_;

 private:
  static std::unique_ptr<Item> Copy(const std::unique_ptr<Item>& item) {
    return std::unique_ptr<Item>(item ? new (std::nothrow) Item(*item) : nullptr);
  }
  Derived& Self() { return static_cast<Derived&>(*this); }
  const Derived& Self() const { return static_cast<const Derived&>(*this); }
};
