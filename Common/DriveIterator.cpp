#include "DriveIterator.h"

namespace {

const int kFirstLetter = 1;  // A:
const int kLastLetter = 26;  // Z:

}  // namespace

DriveIterator::DriveIterator() : current_(Drive::kCurrentDrive) { ++*this; }

DriveIterator::DriveIterator(const DriveIterator& other) : current_(Drive::kNoDrive) { *this = other; }

DriveIterator& DriveIterator::operator=(const DriveIterator& other) {
  current_ = other.current_;
  return *this;
}

DriveIterator::~DriveIterator() = default;

void DriveIterator::StepFrom(int from, int to, int step) {
  for (int number = from; step > 0 ? number <= to : number >= to; number += step) {
    Drive candidate(number);
    if (candidate.Exists()) {
      current_ = candidate;
      return;
    }
  }
  current_.SetNumber(Drive::kNoDrive);
}

DriveIterator& DriveIterator::operator++() {
  if (IsValid()) StepFrom(current_.Number() + 1, kLastLetter, 1);
  return *this;
}

DriveIterator& DriveIterator::operator--() {
  if (IsValid()) StepFrom(current_.Number() - 1, kFirstLetter, -1);
  return *this;
}

DriveIterator DriveIterator::operator++(int) {
  DriveIterator before(*this);
  ++*this;
  return before;
}

DriveIterator DriveIterator::operator--(int) {
  DriveIterator before(*this);
  --*this;
  return before;
}

bool DriveIterator::operator==(const DriveIterator& other) const {
  return this == &other || current_ == other.current_;
}

bool DriveIterator::Seek(const Drive& drive) {
  current_ = drive;
  if (current_.Exists()) return true;
  current_.SetNumber(Drive::kNoDrive);
  return false;
}

bool DriveIterator::Last() {
  for (int number = kLastLetter; number >= kFirstLetter; --number) {
    if (Seek(Drive(number))) break;
  }
  return IsValid();
}

bool DriveIterator::First() {
  current_.SetNumber(Drive::kCurrentDrive);
  ++*this;
  return IsValid();
}

DriveIterator LastDrive() {
  DriveIterator last;
  last.Last();
  return last;
}
