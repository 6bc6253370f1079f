#pragma once
// ComApartment: COM on the calling thread for as long as the object lives.
// Each successful initialisation (S_OK, or S_FALSE when the thread had COM
// already) is matched by one uninitialisation; a failed one (a thread in
// another apartment model) is not, or the caller's own COM would be torn
// down under it.

class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool joined_;
};
