#include "FindEntry.h"

#include <cstring>

FindEntry::FindEntry() { memset(&record_, 0, sizeof record_); }

FindEntry::FindEntry(const FindEntry& other) : FindEntry() { *this = other; }

FindEntry& FindEntry::operator=(const FindEntry& other) {
  if (this != &other) {
    record_ = other.record_;
    fullPath_ = other.fullPath_;
    directoryPath_ = other.directoryPath_;
  }
  return *this;
}

FindEntry::~FindEntry() = default;

bool FindEntry::operator==(const FindEntry& other) const {
  return this == &other || fullPath_ == other.fullPath_;
}

namespace {

// The record's name fields need not be terminated when a search filled them
// to the brim; read no further than the field.
CString FieldText(const char* field, size_t size) { return CString(field, strnlen(field, size)); }

}  // namespace

CString FindEntry::Name() const { return FieldText(record_.cFileName, sizeof record_.cFileName); }

CString FindEntry::ShortName() const {
  CString shortName = FieldText(record_.cAlternateFileName, sizeof record_.cAlternateFileName);
  return shortName.IsEmpty() ? Name() : shortName;
}

void FindEntry::SetName(const CString& name) {
  const size_t kLongest = sizeof record_.cFileName - 1;
  size_t length = 0;
  // Step by characters so a double-byte character is stored whole or not at all.
  while (length < name.Length()) {
    size_t next = length + (name.IsLeadByteAt(length) ? 2 : 1);
    if (next > kLongest) break;
    length = next;
  }
  memcpy(record_.cFileName, name.CStr(), length);
  memset(record_.cFileName + length, 0, sizeof record_.cFileName - length);
}

unsigned long long FindEntry::Size() const {
  return (static_cast<unsigned long long>(record_.nFileSizeHigh) << 32) | record_.nFileSizeLow;
}

Corvane::SystemFileTime FindEntry::Times() const {
  using Corvane::SystemFileTime;
  using Corvane::SystemTime;
  SystemFileTime times;
  times.Time(SystemFileTime::eCreation, SystemTime(record_.ftCreationTime, SystemTime::eUTC))
      .Time(SystemFileTime::eLastAccess, SystemTime(record_.ftLastAccessTime, SystemTime::eUTC))
      .Time(SystemFileTime::eLastWrite, SystemTime(record_.ftLastWriteTime, SystemTime::eUTC));
  return times;
}

void FindEntry::SetPaths(const FilePath& directory, const FilePath& full) {
  directoryPath_ = directory;
  fullPath_ = full;
}

void FindEntry::Reset() {
  memset(&record_, 0, sizeof record_);
  fullPath_ = FilePath();
  directoryPath_ = FilePath();
}
