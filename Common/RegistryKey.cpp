#include "RegistryKey.h"

#include <cstdlib>
#include <memory>
#include <new>

#include "DelimitedPath.h"
#include "PlatformVersion.h"
#include "RegistryInfo.h"
#include "RegistryPath.h"
#include "RegistrySubkeyIterator.h"
#include "RegistryValueIterator.h"
#include "Trace.h"

namespace {

// Buffers double while the platform answers ERROR_MORE_DATA, up to these
// sizes; past them the read fails rather than loop or exhaust memory.
const DWORD kLongestName = 32768;         // characters; names are shorter
const DWORD kLargestData = 0x40000000;    // bytes

DWORD Doubled(DWORD size, DWORD limit) { return size >= limit / 2 ? limit : size * 2; }

// A copy shares a record only while it holds a handle; otherwise the copy
// gets a record of its own, so opening it does not open the original.
SharedKeyHandle ShareIfOpen(const SharedKeyHandle& record) {
  if (record && record->Handle()) return record;
  return SharedKeyHandle::Make();
}

}  // namespace

RegistryKey::RegistryKey(HKEY root, REGSAM access)
    : parent_(SharedKeyHandle::Make()), lastError_(ERROR_SUCCESS), access_(access) {
  if (RegistryInfo::IsPredefinedRoot(root)) {
    own_ = SharedKeyHandle::Make(root, true);
  } else {
    own_ = SharedKeyHandle::Make();
    if (root && own_) {
      // Opened again so that this key owns (and closes) a handle of its own.
      HKEY reopened = nullptr;
      lastError_ = RegOpenKeyExA(root, "", 0, access, &reopened);
      if (lastError_ == ERROR_SUCCESS) own_->Adopt(reopened);
    }
  }
}

RegistryKey::RegistryKey(const RegistryKey& parent, const CString& subkeyPath, REGSAM access)
    : parent_(parent.own_), own_(SharedKeyHandle::Make()), subkeyPath_(subkeyPath),
      lastError_(ERROR_SUCCESS), access_(access) {}

RegistryKey::RegistryKey(const CString& pathText, REGSAM access)
    : own_(SharedKeyHandle::Make()), lastError_(ERROR_SUCCESS), access_(access) {
  RegistryPath path(pathText);
  parent_ = SharedKeyHandle::Make(path.RootHandle(), true);
  subkeyPath_ = path.Tail();
}

RegistryKey::RegistryKey(const RegistryKey& other) : lastError_(ERROR_SUCCESS), access_(0) { *this = other; }

RegistryKey& RegistryKey::operator=(const RegistryKey& other) {
  if (this != &other) {
    parent_ = ShareIfOpen(other.parent_);
    own_ = ShareIfOpen(other.own_);
    subkeyPath_ = other.subkeyPath_;
    lastError_ = other.lastError_;
    access_ = other.access_;
  }
  return *this;
}

RegistryKey::~RegistryKey() = default;

HKEY RegistryKey::ParentHandle() const { return parent_ ? parent_->Handle() : nullptr; }

HKEY RegistryKey::OwnHandle() const { return own_ ? own_->Handle() : nullptr; }

HKEY RegistryKey::BaseHandle() const { return ParentHandle() ? ParentHandle() : OwnHandle(); }

bool RegistryKey::IsOpen() const { return own_ && own_->IsOpen(); }

bool RegistryKey::EnsureOwnRecord() {
  if (!own_) own_ = SharedKeyHandle::Make();
  return static_cast<bool>(own_);
}

bool RegistryKey::Fits(const CString& name) {
  if (NameFits(name)) return true;
  lastError_ = ERROR_INVALID_PARAMETER;
  return false;
}

bool RegistryKey::Open(REGSAM access) {
  access_ = access;
  if (IsOpen()) return true;
  if (!EnsureOwnRecord() || !Fits(subkeyPath_)) return false;
  HKEY opened = nullptr;
  lastError_ = RegOpenKeyExA(BaseHandle(), subkeyPath_.CStr(), 0, access, &opened);
  if (lastError_ == ERROR_SUCCESS) own_->Adopt(opened);
  return IsOpen();
}

bool RegistryKey::Create(DWORD options) {
  if (IsOpen()) Close();
  if (!EnsureOwnRecord() || !Fits(subkeyPath_)) return false;
  static char keyClass[] = "key";
  HKEY created = nullptr;
  lastError_ = RegCreateKeyExA(BaseHandle(), subkeyPath_.CStr(), 0, keyClass, options, access_, nullptr, &created,
                               nullptr);
  if (lastError_ == ERROR_SUCCESS) own_->Adopt(created);
  return IsOpen();
}

void RegistryKey::Close() {
  if (own_) own_->Close();
}

bool RegistryKey::Exists() {
  if (IsOpen()) return true;
  if (!Open(kKeyAccess)) return false;
  Close();
  return true;
}

bool RegistryKey::QueryCounts(Counts& counts) {
  lastError_ = RegQueryInfoKeyA(OwnHandle(), nullptr, nullptr, nullptr, &counts.subkeys, &counts.longestSubkeyName,
                                nullptr, &counts.values, &counts.longestValueName, &counts.longestData, nullptr,
                                nullptr);
  if (lastError_ != ERROR_SUCCESS) counts = Counts();
  return lastError_ == ERROR_SUCCESS;
}

DWORD RegistryKey::SubkeyCount() {
  Counts counts;
  QueryCounts(counts);
  return counts.subkeys;
}

DWORD RegistryKey::ValueCount() {
  Counts counts;
  QueryCounts(counts);
  return counts.values;
}

bool RegistryKey::ReadSubkeyName(DWORD index, std::vector<char>& buffer, CString& name) {
  return ReadName(eSubkeyName, index, buffer, name);
}

bool RegistryKey::ReadValueName(DWORD index, std::vector<char>& buffer, CString& name) {
  return ReadName(eValueName, index, buffer, name);
}

bool RegistryKey::ReadName(ENameKind kind, DWORD index, std::vector<char>& buffer, CString& name) {
  if (buffer.empty()) buffer.resize(1);
  for (;;) {
    DWORD length = static_cast<DWORD>(buffer.size());
    if (kind == eSubkeyName)
      lastError_ = RegEnumKeyExA(OwnHandle(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    else
      lastError_ = RegEnumValueA(OwnHandle(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (lastError_ == ERROR_SUCCESS) {
      name = CString(buffer.data(), length < buffer.size() ? length : buffer.size() - 1);
      return true;
    }
    if (lastError_ != ERROR_MORE_DATA || buffer.size() >= kLongestName) return false;
    buffer.resize(Doubled(static_cast<DWORD>(buffer.size()), kLongestName));
  }
}

bool RegistryKey::ReadValue(const CString& name, DWORD sizeHint, RegistryValue& value) {
  DWORD capacity = sizeHint > 0 ? sizeHint : 1;
  for (;;) {
    BYTE* data = static_cast<BYTE*>(malloc(capacity));
    if (!data) return false;
    DWORD type = REG_NONE;
    DWORD size = capacity;
    lastError_ = RegQueryValueExA(OwnHandle(), name.CStr(), nullptr, &type, data, &size);
    if (lastError_ == ERROR_SUCCESS) {
      // The record takes the block over (and frees it at once when empty).
      value = RegistryValue(type, data, size <= capacity ? size : capacity, name, true);
      return true;
    }
    free(data);
    if (lastError_ != ERROR_MORE_DATA || capacity >= kLargestData) return false;
    // Doubling as asked; the size the platform reports, when larger, saves
    // rounds.
    DWORD grown = Doubled(capacity, kLargestData);
    capacity = size > grown && size <= kLargestData ? size : grown;
  }
}

RegistryValueIterator RegistryKey::FindValue(const CString& name) {
  if (!IsOpen() || !Fits(name)) return ValuesEnd();
  DWORD size = 0;
  lastError_ = RegQueryValueExA(OwnHandle(), name.CStr(), nullptr, nullptr, nullptr, &size);
  if (lastError_ != ERROR_SUCCESS && lastError_ != ERROR_MORE_DATA) return ValuesEnd();
  std::unique_ptr<RegistryValue> found(new (std::nothrow) RegistryValue);
  if (!found || !ReadValue(name, size, *found)) return ValuesEnd();
  // Only counted, not named: the result is looked at, rarely walked on.
  RegistryValueIterator at(*this, RegistryNameSnapshot::eEnd);
  at.HoldFound(std::move(found));
  return at;
}

bool RegistryKey::SetValue(const RegistryValue& value) {
  if (!IsOpen() || !Fits(value.Name())) return false;
  lastError_ = RegSetValueExA(OwnHandle(), value.Name().CStr(), 0, value.Type(), value.Data(), value.Size());
  return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const CString& name) {
  if (!IsOpen() || !Fits(name)) return false;
  lastError_ = RegDeleteValueA(OwnHandle(), name.CStr());
  return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::DeleteSubKey(const CString& name) {
  // Windows NT deletes only keys without subkeys; Windows 95/98 deletes the
  // whole tree itself. The version is asked on each call, not cached.
  return DeleteSubKeyOn(name, IsWindowsNT());
}

bool RegistryKey::DeleteSubKeyOn(const CString& name, bool onWindowsNT) {
  if (!IsOpen()) return false;
  // "" names this key itself: the platform would delete it with all it holds.
  if (name.IsEmpty() || !Fits(name)) return false;
  if (!onWindowsNT) {
    lastError_ = RegDeleteKeyA(OwnHandle(), name.CStr());
    if (lastError_ == ERROR_SUCCESS || lastError_ == ERROR_FILE_NOT_FOUND) return lastError_ == ERROR_SUCCESS;
    // Not every Windows 95/98 registry deletes every tree (Wine's stops at
    // the second subkey of a key): then delete it depth-first, as on NT.
  }
  RegistryKey child(*this, name, kKeyAccess);
  if (!child.Open(kKeyAccess)) {
    lastError_ = child.LastError();
    return false;
  }
  RegistrySubkeyIterator subkeys = child.SubkeysBegin();
  // Subkeys left out of the walk would make the deletion below fail; stop
  // before deleting anything.
  if (!subkeys.IsComplete()) {
    lastError_ = subkeys.LastError();
    return false;
  }
  for (; !subkeys.AtEnd(); ++subkeys) {
    if (!child.DeleteSubKeyOn(subkeys.Name(), onWindowsNT)) {
      lastError_ = child.LastError();
      return false;
    }
  }
  // The child's handle must be closed before its key is deleted.
  child.Close();
  lastError_ = RegDeleteKeyA(OwnHandle(), name.CStr());
  return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::SubtreeHolds(const CString& name) {
  RegistryKey probe(*this, name, kKeyAccess);
  if (probe.Open(KEY_QUERY_VALUE)) return true;
  for (RegistrySubkeyIterator subkeys = SubkeysBegin(); !subkeys.AtEnd(); ++subkeys) {
    RegistryKey* child = subkeys.Current();
    if (child && child->Open(kKeyAccess) && child->SubtreeHolds(name)) return true;
  }
  return false;
}

bool RegistryKey::Encloses(const RegistryKey& other, bool* encloses) {
  // Two handles or paths can name the same key (HKCU and HKU\<sid>), so
  // names prove nothing: a mark made below the other key is looked for in
  // this key's subtree instead.
  CString mark = CString::Format("QEL move probe %lu.%lu", GetCurrentProcessId(), GetTickCount());
  RegistryKey probe(other, mark, kKeyAccess);
  if (!probe.Create(REG_OPTION_VOLATILE)) {
    lastError_ = probe.LastError();
    return false;
  }
  probe.Close();
  *encloses = SubtreeHolds(mark);
  LONG removed = RegDeleteKeyA(other.OwnHandle(), mark.CStr());
  if (removed != ERROR_SUCCESS) lastError_ = removed;
  return true;
}

bool RegistryKey::MoveTo(const RegistryKey& destination) {
  if (*this == destination || !IsOpen() || !destination.IsOpen()) return false;
  // A destination inside the moved key would receive a copy of the key,
  // which holds the destination again, and so on until the process dies.
  bool inside = false;
  if (!Encloses(destination, &inside)) return false;
  if (inside) {
    lastError_ = ERROR_INVALID_PARAMETER;
    Trace("RegistryKey::MoveTo - the destination lies inside the key being moved\n");
    return false;
  }
  return MoveInto(destination);
}

bool RegistryKey::MoveInto(const RegistryKey& destination) {
  // The key's own name is the last real component of its path: trailing
  // separators name nothing.
  CString text = subkeyPath_;
  while (text.EndsWith('\\')) text.Truncate(text.Length() - 1);
  DelimitedPath path(text);
  if (path.Text().IsEmpty()) return false;
  bool nameIsLast = !path.Last().IsEmpty();
  CString name = nameIsLast ? path.Last() : path.Head();

  RegistryKey target(destination, name, kKeyAccess);
  if (!target.Create(REG_OPTION_NON_VOLATILE)) {
    lastError_ = target.LastError();
    return false;
  }

  // The source goes only when all it held has arrived: a value that could
  // not be read or written keeps the source (and what is already copied).
  RegistryValueIterator values = ValuesBegin();
  bool allCopied = values.IsComplete();
  if (!allCopied) lastError_ = values.LastError();
  for (; !values.AtEnd(); ++values) {
    const RegistryValue* value = values.Current();
    if (!value) {
      allCopied = false;
    } else if (!target.SetValue(*value)) {
      allCopied = false;
      lastError_ = target.LastError();
    }
  }
  if (!allCopied) return false;
  RegistrySubkeyIterator subkeys = SubkeysBegin();
  if (!subkeys.IsComplete()) {
    lastError_ = subkeys.LastError();
    return false;
  }
  for (; !subkeys.AtEnd(); ++subkeys) {
    RegistryKey* child = subkeys.Current();
    if (!child || !child->Open(kKeyAccess) || !child->MoveInto(target)) {
      if (child) lastError_ = child->LastError();
      return false;
    }
  }

  if (nameIsLast)
    path.RemoveLast();
  else
    path.RemoveHead();
  RegistryKey root(ParentHandle(), kKeyAccess);
  RegistryKey parent(root, path.Text(), kKeyAccess);
  if (!parent.Open(kKeyAccess)) {
    lastError_ = parent.LastError();
    return false;
  }
  Close();
  bool deleted = parent.DeleteSubKey(name);
  lastError_ = parent.LastError();
  return deleted;
}

bool RegistryKey::LoadHive(const CString& file) {
  if (!Fits(subkeyPath_)) return false;
  lastError_ = RegLoadKeyA(ParentHandle(), subkeyPath_.CStr(), file.CStr());
  return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::SaveHive(const CString& file) {
  if (!IsOpen()) return false;
  lastError_ = RegSaveKeyA(OwnHandle(), file.CStr(), nullptr);
  return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::UnloadHive() {
  if (IsOpen()) Close();
  if (!Fits(subkeyPath_)) return false;
  lastError_ = RegUnLoadKeyA(ParentHandle(), subkeyPath_.CStr());
  return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::EnumSubkey(DWORD index, DWORD longestNameLength, RegistryKey& subkey) {
  if (!IsOpen()) return false;
  std::vector<char> buffer(static_cast<size_t>(longestNameLength < kLongestName ? longestNameLength : kLongestName) +
                           1);
  CString name;
  if (!ReadSubkeyName(index, buffer, name)) return false;
  subkey = RegistryKey(*this, name, kKeyAccess);
  return true;
}

bool RegistryKey::EnumValue(DWORD index, DWORD longestNameLength, DWORD dataSize, RegistryValue& value) {
  if (!IsOpen()) return false;
  // Both buffers start at one byte or more and both grow: the platform's
  // ERROR_MORE_DATA does not say which of them was too small.
  DWORD nameCapacity = (longestNameLength < kLongestName ? longestNameLength : kLongestName) + 1;
  DWORD dataCapacity = dataSize > 0 ? (dataSize < kLargestData ? dataSize : kLargestData) : 1;
  std::vector<char> name;
  for (;;) {
    name.resize(nameCapacity);
    BYTE* data = static_cast<BYTE*>(malloc(dataCapacity));
    if (!data) return false;
    DWORD nameLength = nameCapacity;
    DWORD size = dataCapacity;
    DWORD type = REG_NONE;
    lastError_ = RegEnumValueA(OwnHandle(), index, name.data(), &nameLength, nullptr, &type, data, &size);
    if (lastError_ == ERROR_SUCCESS) {
      CString valueName(name.data(), nameLength < nameCapacity ? nameLength : nameCapacity - 1);
      value = RegistryValue(type, data, size <= dataCapacity ? size : dataCapacity, valueName, true);
      return true;
    }
    free(data);
    if (lastError_ != ERROR_MORE_DATA) return false;
    if (nameCapacity >= kLongestName && dataCapacity >= kLargestData) return false;
    nameCapacity = Doubled(nameCapacity, kLongestName);
    dataCapacity = Doubled(dataCapacity, kLargestData);
  }
}

RegistrySubkeyIterator RegistryKey::SubkeysBegin() const {
  return RegistrySubkeyIterator(*this, RegistryNameSnapshot::eBegin);
}

RegistrySubkeyIterator RegistryKey::SubkeysEnd() const {
  return RegistrySubkeyIterator(*this, RegistryNameSnapshot::eEnd);
}

RegistryValueIterator RegistryKey::ValuesBegin() const {
  return RegistryValueIterator(*this, RegistryNameSnapshot::eBegin);
}

RegistryValueIterator RegistryKey::ValuesEnd() const { return RegistryValueIterator(*this, RegistryNameSnapshot::eEnd); }

bool operator==(const RegistryKey& a, const RegistryKey& b) {
  return a.ParentHandle() == b.ParentHandle() && a.OwnHandle() == b.OwnHandle() && a.subkeyPath_ == b.subkeyPath_ &&
         a.access_ == b.access_;
}
