#include "ComApartment.h"

#include <objbase.h>

ComApartment::ComApartment() : joined_(SUCCEEDED(CoInitialize(nullptr))) {}

ComApartment::~ComApartment() {
  if (joined_) CoUninitialize();
}
