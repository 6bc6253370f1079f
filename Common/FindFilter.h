#pragma once
// FindFilter: decides which directory entries a walk hands out. One filter is
// shared by an iterator and its copies and counts its users itself; the last
// one to let go deletes it. A disabled filter is never consulted: the walk
// puts an accept-all filter in its place.

#include "RefCountedHolder.h"

class FindEntry;

class FindFilter {
 public:
  FindFilter() : refs_(0), enabled_(true) {}
  FindFilter(const FindFilter&) = delete;
  FindFilter& operator=(const FindFilter&) = delete;
  virtual ~FindFilter();
  // The base filter accepts every entry.
  virtual bool Accept(const FindEntry& entry);

  bool IsEnabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }

  void Retain();
  void Release();

 private:
  long refs_;
  bool enabled_;
  NoLockPolicy lock_;
};

// A counted reference to a filter; null for none.
class FindFilterRef {
 public:
  FindFilterRef() : filter_(nullptr) {}
  // Takes the filter into shared ownership: create it with new and hand it
  // over here; do not delete it yourself.
  explicit FindFilterRef(FindFilter* filter) : filter_(filter) {
    if (filter_) filter_->Retain();
  }
  FindFilterRef(const FindFilterRef& other) : FindFilterRef(other.filter_) {}
  FindFilterRef& operator=(const FindFilterRef& other) {
    if (filter_ != other.filter_) {
      FindFilter* old = filter_;
      filter_ = other.filter_;
      if (filter_) filter_->Retain();
      if (old) old->Release();
    }
    return *this;
  }
  ~FindFilterRef() {
    if (filter_) filter_->Release();
  }

  FindFilter* Get() const { return filter_; }
  FindFilter* operator->() const { return filter_; }
  explicit operator bool() const { return filter_ != nullptr; }

 private:
  FindFilter* filter_;
};
