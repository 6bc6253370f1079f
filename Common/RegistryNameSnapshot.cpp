#include "RegistryNameSnapshot.h"

RegistryNameSnapshot::RegistryNameSnapshot(const RegistryKey& key, EKind kind, EPosition where)
    : key_(key), longestData_(0), kind_(kind), position_(0), reportedCount_(0), longestName_(0), namesTaken_(true),
      complete_(false), lastError_(ERROR_SUCCESS) {
  RegistryKey::Counts counts;
  // A key that is not open, or cannot say what it holds, is walked as empty.
  if (!key_.IsOpen()) return;
  if (!key_.QueryCounts(counts)) {
    lastError_ = key_.LastError();
    return;
  }
  reportedCount_ = kind == eSubkeyNames ? counts.subkeys : counts.values;
  longestName_ = kind == eSubkeyNames ? counts.longestSubkeyName : counts.longestValueName;
  longestData_ = counts.longestData;
  namesTaken_ = false;
  complete_ = true;
  if (where == eBegin)
    TakeNames();
  else
    position_ = reportedCount_;
}

RegistryNameSnapshot::RegistryNameSnapshot(const RegistryNameSnapshot& other) : key_(other.key_) { *this = other; }

RegistryNameSnapshot& RegistryNameSnapshot::operator=(const RegistryNameSnapshot& other) {
  if (this != &other) {
    key_ = other.key_;
    longestData_ = other.longestData_;
    kind_ = other.kind_;
    position_ = other.position_;
    reportedCount_ = other.reportedCount_;
    longestName_ = other.longestName_;
    names_ = other.names_;
    namesTaken_ = other.namesTaken_;
    complete_ = other.complete_;
    lastError_ = other.lastError_;
  }
  return *this;
}

RegistryNameSnapshot::~RegistryNameSnapshot() = default;

void RegistryNameSnapshot::TakeNames() const {
  if (namesTaken_) return;
  namesTaken_ = true;
  bool atEnd = position_ >= reportedCount_;
  names_.clear();
  names_.reserve(reportedCount_);
  std::vector<char> buffer(static_cast<size_t>(longestName_) + 1);
  // key_ is a copy of the walked key; reading names changes only its status.
  RegistryKey& key = const_cast<RegistryKey&>(key_);
  for (DWORD i = 0; i < reportedCount_; ++i) {
    CString name;
    bool read = kind_ == eSubkeyNames ? key.ReadSubkeyName(i, buffer, name) : key.ReadValueName(i, buffer, name);
    // An unread name is left out. Taken as "", a subkey name would mean the
    // key itself (deleting it would delete the whole walked key); for values
    // "" is the default value, which must not appear where it does not exist.
    if (!read || (kind_ == eSubkeyNames && name.IsEmpty())) {
      complete_ = false;
      lastError_ = key.LastError();
      continue;
    }
    names_.push_back(name);
  }
  if (atEnd) position_ = Count();
}

DWORD RegistryNameSnapshot::Count() const {
  return namesTaken_ ? static_cast<DWORD>(names_.size()) : reportedCount_;
}

bool RegistryNameSnapshot::IsComplete() const {
  TakeNames();
  return complete_;
}

LONG RegistryNameSnapshot::LastError() const {
  TakeNames();
  return lastError_;
}

bool RegistryNameSnapshot::AtEnd() const { return position_ >= Count(); }

CString RegistryNameSnapshot::Name() const {
  const CString* name = NameAt(position_);
  return name ? *name : CString();
}

const CString* RegistryNameSnapshot::NameAt(DWORD index) const {
  TakeNames();
  return index < names_.size() ? &names_[index] : nullptr;
}

void RegistryNameSnapshot::Step(int delta) {
  // Moving back from the end needs the names to know where the end is.
  if (delta < 0) TakeNames();
  position_ += static_cast<DWORD>(delta);
  DiscardCurrent();
}

void RegistryNameSnapshot::StandOnLast() { position_ = Count() > 0 ? Count() - 1 : 0; }

bool RegistryNameSnapshot::SameWalkAndPlace(const RegistryNameSnapshot& other) const {
  return key_ == other.key_ && (position_ == other.position_ || (AtEnd() && other.AtEnd()));
}
