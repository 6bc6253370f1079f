#include "FindFilter.h"

FindFilter::~FindFilter() = default;

bool FindFilter::Accept(const FindEntry&) { return true; }

void FindFilter::Retain() {
  lock_.Lock();
  ++refs_;
  lock_.Unlock();
}

void FindFilter::Release() {
  lock_.Lock();
  long left = --refs_;
  lock_.Unlock();
  if (left == 0) delete this;
}
