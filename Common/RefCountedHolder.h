#pragma once
// A small object shared by the copies of its owner (an INF line position, a
// directory filter, an open registry handle): the last copy to let go frees
// it. The count changes under a lock policy; the library is used from one
// thread at a time, so the default policy's hooks do nothing.

#include <new>
#include <utility>

struct NoLockPolicy {
  void Lock() {}
  void Unlock() {}
};

template <class T, class LockPolicy = NoLockPolicy>
class RefCountedHolder {
 public:
  // Empty: holds nothing.
  RefCountedHolder() noexcept : block_(nullptr) {}
  // Holds a new object built from the arguments; empty when out of memory.
  template <class... Args>
  static RefCountedHolder Make(Args&&... args) {
    RefCountedHolder holder;
    holder.block_ = new (std::nothrow) Block(std::forward<Args>(args)...);
    return holder;
  }

  RefCountedHolder(const RefCountedHolder& other) noexcept : block_(other.block_) { Retain(); }
  RefCountedHolder(RefCountedHolder&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
  RefCountedHolder& operator=(const RefCountedHolder& other) noexcept {
    if (block_ != other.block_) {
      Block* old = block_;
      block_ = other.block_;
      Retain();
      ReleaseBlock(old);
    }
    return *this;
  }
  RefCountedHolder& operator=(RefCountedHolder&& other) noexcept {
    if (this != &other) {
      Reset();
      block_ = other.block_;
      other.block_ = nullptr;
    }
    return *this;
  }
  ~RefCountedHolder() { Reset(); }

  void Reset() noexcept {
    ReleaseBlock(block_);
    block_ = nullptr;
  }

  T* Get() const noexcept { return block_ ? &block_->value : nullptr; }
  T* operator->() const noexcept { return Get(); }
  T& operator*() const noexcept { return block_->value; }
  explicit operator bool() const noexcept { return block_ != nullptr; }
  // Identity, not content: both refer to the very same object.
  bool SharesWith(const RefCountedHolder& other) const noexcept { return block_ == other.block_; }
  long UseCount() const noexcept { return block_ ? block_->count : 0; }

 private:
  struct Block {
    template <class... Args>
    explicit Block(Args&&... args) : count(1), value(std::forward<Args>(args)...) {}
    long count;
    LockPolicy lock;
    T value;
  };

  void Retain() noexcept {
    if (!block_) return;
    block_->lock.Lock();
    ++block_->count;
    block_->lock.Unlock();
  }
// GCC 12 cannot follow the count across inlined copies and reports a use
// after free here that cannot happen: only the release that takes the count
// to zero deletes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
  static void ReleaseBlock(Block* block) noexcept {
    if (!block) return;
    block->lock.Lock();
    long left = --block->count;
    block->lock.Unlock();
    if (left == 0) delete block;
  }
#pragma GCC diagnostic pop

  Block* block_;
};
