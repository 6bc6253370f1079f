#include "CString.h"

#include <windows.h>

#include <cstdio>

namespace {

// The lead-byte ranges of the system code page, read once; the code page
// does not change while a process runs.
class LeadByteTable {
 public:
  LeadByteTable() {
    CPINFO info;
    if (!GetCPInfo(CP_ACP, &info)) return;
    for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2) {
      for (unsigned c = info.LeadByte[i]; c <= info.LeadByte[i + 1]; ++c) lead_[c] = true;
    }
  }
  bool operator()(unsigned char c) const { return lead_[c]; }

 private:
  bool lead_[256] = {};
};

const LeadByteTable& LeadBytes() {
  static const LeadByteTable table;
  return table;
}

// Length of the character that starts at text[i] (1 or 2), never past `length`.
size_t CharLength(const char* text, size_t i, size_t length) {
  return (i + 1 < length && LeadBytes()(static_cast<unsigned char>(text[i]))) ? 2 : 1;
}

}  // namespace

bool CString::IsLeadByte(unsigned char c) { return LeadBytes()(c); }

bool CString::IsLeadByteAt(size_t index) const {
  // A byte is a lead byte only if the scan from the start arrives on it as
  // the first byte of a character.
  const char* text = CStr();
  size_t length = Length();
  for (size_t i = 0; i < length; i += CharLength(text, i, length)) {
    if (i == index) return CharLength(text, i, length) == 2;
    if (i > index) break;
  }
  return false;
}

bool CString::MakeUnique(size_t capacity) {
  size_t length = Length();
  if (capacity < length) capacity = length;
  if (rep_ && rep_->refs == 1 && rep_->capacity >= capacity) return true;
  if (rep_ && rep_->refs == 1) {
    size_t grown = rep_->capacity * 2;
    if (grown < capacity) grown = capacity;
    Rep* bigger = static_cast<Rep*>(realloc(rep_, sizeof(Rep) + grown));
    if (!bigger) return false;
    bigger->capacity = grown;
    rep_ = bigger;
    return true;
  }
  Rep* fresh = NewRep(capacity);
  if (!fresh) return false;
  memcpy(fresh->text, CStr(), length + 1);
  fresh->length = length;
  ReleaseRep(rep_);
  rep_ = fresh;
  return true;
}

CString& CString::Append(const char* text, size_t length) {
  if (!text || length == 0) return *this;
  size_t mine = Length();
  if (length > static_cast<size_t>(-1) / 4 - mine) return *this;
  // The text may lie inside our own buffer, which MakeUnique may move.
  if (rep_ && text >= rep_->text && text < rep_->text + rep_->capacity + 1) {
    CString copy(text, length);
    return Append(copy.CStr(), copy.Length());
  }
  if (!MakeUnique(mine + length)) return *this;
  memcpy(rep_->text + mine, text, length);
  rep_->length = mine + length;
  rep_->text[rep_->length] = '\0';
  return *this;
}

CString& CString::operator+=(const CString& text) {
  if (rep_ == text.rep_) {
    CString copy(text);  // keeps the shared buffer alive while we grow
    return Append(copy.CStr(), copy.Length());
  }
  return Append(text.CStr(), text.Length());
}

CString& CString::operator+=(const char* text) { return Append(text, text ? strlen(text) : 0); }

CString& CString::operator+=(char c) { return Append(&c, 1); }

void CString::Truncate(size_t length) {
  if (length >= Length()) return;
  if (length == 0) {
    Release();
    return;
  }
  if (!MakeUnique(length)) return;
  rep_->length = length;
  rep_->text[length] = '\0';
}

void CString::Replace(char from, char to) {
  const char* text = CStr();
  size_t length = Length();
  for (size_t i = 0; i < length; i += CharLength(text, i, length)) {
    if (text[i] == from && CharLength(text, i, length) == 1) {
      if (!MakeUnique(length)) return;
      text = rep_->text;
      rep_->text[i] = to;
    }
  }
}

void CString::Replace(const char* what, const char* with) {
  if (!what || !*what) return;
  if (!with) with = "";
  size_t whatLength = strlen(what);
  size_t pos = Find(what);
  if (pos == npos) return;
  CString result;
  size_t start = 0;
  while (pos != npos) {
    result.Append(CStr() + start, pos - start);
    result += with;
    start = pos + whatLength;
    pos = Find(what, start);
  }
  result.Append(CStr() + start, Length() - start);
  *this = result;
}

namespace {

enum class CaseMapping { kUpper, kLower };

// The system's mapping works on characters, not bytes, so a double-byte
// character whose trail byte looks like a lower-case letter stays intact.
void MapCase(char* text, size_t length, CaseMapping mapping) {
  while (length > 0) {
    DWORD chunk = length > 0x7FFFFFF ? 0x7FFFFFF : static_cast<DWORD>(length);
    // Do not cut a double-byte character in two between chunks.
    if (chunk < length) {
      size_t i = 0;
      while (i < chunk) i += CharLength(text, i, length);
      chunk = static_cast<DWORD>(i);
    }
    if (mapping == CaseMapping::kUpper)
      CharUpperBuffA(text, chunk);
    else
      CharLowerBuffA(text, chunk);
    text += chunk;
    length -= chunk;
  }
}

}  // namespace

void CString::MakeUpper() {
  if (IsEmpty() || !MakeUnique(Length())) return;
  MapCase(rep_->text, rep_->length, CaseMapping::kUpper);
}

void CString::MakeLower() {
  if (IsEmpty() || !MakeUnique(Length())) return;
  MapCase(rep_->text, rep_->length, CaseMapping::kLower);
}

CString CString::Upper() const {
  CString copy(*this);
  copy.MakeUpper();
  return copy;
}

CString CString::Lower() const {
  CString copy(*this);
  copy.MakeLower();
  return copy;
}

CString CString::Left(size_t count) const {
  if (count >= Length()) return *this;
  return CString(CStr(), count);
}

CString CString::Mid(size_t start, size_t count) const {
  size_t length = Length();
  if (start >= length) return CString();
  if (start == 0 && count >= length) return *this;
  if (count > length - start) count = length - start;
  return CString(CStr() + start, count);
}

CString CString::Right(size_t count) const {
  size_t length = Length();
  if (count >= length) return *this;
  return CString(CStr() + length - count, count);
}

size_t CString::Find(char c, size_t start) const {
  const char* text = CStr();
  size_t length = Length();
  for (size_t i = 0; i < length; i += CharLength(text, i, length)) {
    if (i >= start && text[i] == c && CharLength(text, i, length) == 1) return i;
  }
  return npos;
}

size_t CString::Find(const char* what, size_t start) const {
  if (!what) return npos;
  size_t whatLength = strlen(what);
  const char* text = CStr();
  size_t length = Length();
  if (whatLength == 0) return start <= length ? start : npos;
  for (size_t i = 0; i + whatLength <= length; i += CharLength(text, i, length)) {
    if (i >= start && memcmp(text + i, what, whatLength) == 0) return i;
  }
  return npos;
}

size_t CString::ReverseFind(char c) const {
  // Double-byte texts can only be walked forwards.
  const char* text = CStr();
  size_t length = Length();
  size_t found = npos;
  for (size_t i = 0; i < length; i += CharLength(text, i, length)) {
    if (text[i] == c && CharLength(text, i, length) == 1) found = i;
  }
  return found;
}

size_t CString::Count(char c) const {
  const char* text = CStr();
  size_t length = Length();
  size_t n = 0;
  for (size_t i = 0; i < length; i += CharLength(text, i, length)) {
    if (text[i] == c && CharLength(text, i, length) == 1) ++n;
  }
  return n;
}

int CString::CompareNoCase(const CString& other) const { return Upper().Compare(other.Upper()); }

bool CString::StartsWith(const CString& prefix) const {
  return prefix.Length() <= Length() && memcmp(CStr(), prefix.CStr(), prefix.Length()) == 0;
}

bool CString::EndsWith(char c) const {
  size_t length = Length();
  return length > 0 && ReverseFind(c) == length - 1;
}

CString CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  CString result = FormatV(format, args);
  va_end(args);
  return result;
}

CString CString::FormatV(const char* format, va_list args) {
  if (!format) return CString();
  // Start small, as almost every text fits, and double while it does not.
  // The cap stops a runtime that never reports success from looping forever.
  const size_t kFirstSize = 512;
  const size_t kLargestSize = size_t(1) << 30;
  for (size_t size = kFirstSize; size <= kLargestSize; size *= 2) {
    CString result;
    if (!result.MakeUnique(size)) return CString();
    va_list copy;
    va_copy(copy, args);
    int written = vsnprintf(result.rep_->text, size, format, copy);
    va_end(copy);
    if (written >= 0 && static_cast<size_t>(written) < size) {
      result.rep_->length = static_cast<size_t>(written);
      result.rep_->text[written] = '\0';
      if (written == 0) result.Release();
      return result;
    }
    if (written < 0 && size >= 64 * kFirstSize) return CString();  // not a size problem
  }
  return CString();
}
