#pragma once
// CString: the library's text type. A text is a run of ANSI bytes in the
// system code page; copies share one buffer until one of them changes
// (copy-on-write). Searches and case mapping never split a double-byte
// character of the code page, so a trail byte that happens to equal "\" is
// never taken for a separator.
//
// Hosts pass CString objects to QELPrinter's exports. Everything a host needs
// to build, copy and read one is inline in this header; the rest lives in the
// common library. Buffers come from malloc/free, which host and library share
// (msvcrt), so either side may release the last reference.

#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#if defined(__MINGW_PRINTF_FORMAT)
#define QEL_PRINTF_FORMAT(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#else
#define QEL_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

class CString {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  CString() noexcept : rep_(nullptr) {}
  CString(const char* text) : rep_(nullptr) { Assign(text, text ? strlen(text) : 0); }
  CString(const char* text, size_t length) : rep_(nullptr) { Assign(text, text ? length : 0); }
  CString(const CString& other) noexcept : rep_(other.rep_) { Retain(); }
  CString(CString&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
  ~CString() { Release(); }

  CString& operator=(const CString& other) noexcept {
    if (rep_ != other.rep_) {
      Rep* old = rep_;
      rep_ = other.rep_;
      Retain();
      ReleaseRep(old);
    }
    return *this;
  }
  CString& operator=(CString&& other) noexcept {
    if (this != &other) {
      Release();
      rep_ = other.rep_;
      other.rep_ = nullptr;
    }
    return *this;
  }
  CString& operator=(const char* text) {
    // The text may point into our own buffer: build first, then swap.
    CString copy(text);
    return *this = static_cast<CString&&>(copy);
  }

  const char* CStr() const noexcept { return rep_ ? rep_->text : ""; }
  size_t Length() const noexcept { return rep_ ? rep_->length : 0; }
  bool IsEmpty() const noexcept { return Length() == 0; }
  // The byte at index, or NUL past the end.
  char At(size_t index) const noexcept { return index < Length() ? rep_->text[index] : '\0'; }

  // Byte comparisons, case-sensitive.
  int Compare(const CString& other) const noexcept { return Compare(other.CStr(), other.Length()); }
  int Compare(const char* text) const noexcept { return Compare(text ? text : "", text ? strlen(text) : 0); }
  friend bool operator==(const CString& a, const CString& b) noexcept {
    return a.rep_ == b.rep_ || (a.Length() == b.Length() && a.Compare(b) == 0);
  }
  friend bool operator!=(const CString& a, const CString& b) noexcept { return !(a == b); }
  friend bool operator==(const CString& a, const char* b) noexcept { return a.Compare(b) == 0; }
  friend bool operator!=(const CString& a, const char* b) noexcept { return a.Compare(b) != 0; }
  friend bool operator<(const CString& a, const CString& b) noexcept { return a.Compare(b) < 0; }

  // Changes (each one detaches this object from the copies it shared with).
  CString& operator+=(const CString& text);
  CString& operator+=(const char* text);
  CString& operator+=(char c);
  CString& Append(const char* text, size_t length);
  void Truncate(size_t length);
  void Clear() noexcept { Release(); }
  // Replaces every single-byte character `from` by `to`; bytes inside
  // double-byte characters are left alone.
  void Replace(char from, char to);
  // Replaces every occurrence of `what` (found at character boundaries).
  void Replace(const char* what, const char* with);
  void MakeUpper();
  void MakeLower();

  // New texts.
  CString Left(size_t count) const;
  CString Mid(size_t start, size_t count = npos) const;
  CString Right(size_t count) const;
  CString Upper() const;
  CString Lower() const;
  friend CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
  }
  friend CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
  }

  // Searches at character boundaries; npos when absent.
  size_t Find(char c, size_t start = 0) const;
  size_t Find(const char* text, size_t start = 0) const;
  size_t ReverseFind(char c) const;
  size_t Count(char c) const;
  // Upper-cases both sides with the system's mapping, then compares bytes.
  int CompareNoCase(const CString& other) const;
  bool StartsWith(const CString& prefix) const;
  bool EndsWith(char c) const;

  // True when the byte at index starts a double-byte character.
  bool IsLeadByteAt(size_t index) const;
  static bool IsLeadByte(unsigned char c);

  // printf-style; the buffer starts at 512 bytes and doubles until the text
  // fits. A format the runtime rejects gives an empty text.
  static CString Format(const char* format, ...) QEL_PRINTF_FORMAT(1, 2);
  static CString FormatV(const char* format, va_list args);

 private:
  struct Rep {
    long refs;
    size_t length;
    size_t capacity;
    char text[1];
  };

  int Compare(const char* text, size_t length) const noexcept {
    size_t mine = Length();
    int r = memcmp(CStr(), text, mine < length ? mine : length);
    if (r != 0) return r;
    return mine < length ? -1 : (mine > length ? 1 : 0);
  }

  static Rep* NewRep(size_t capacity) {
    if (capacity > (static_cast<size_t>(-1) - sizeof(Rep)) / 2) return nullptr;
    Rep* rep = static_cast<Rep*>(malloc(sizeof(Rep) + capacity));
    if (rep) {
      rep->refs = 1;
      rep->length = 0;
      rep->capacity = capacity;
      rep->text[0] = '\0';
    }
    return rep;
  }
  void Assign(const char* text, size_t length) {
    Release();
    if (length == 0) return;
    rep_ = NewRep(length);
    if (!rep_) return;  // out of memory: the text stays empty
    memcpy(rep_->text, text, length);
    rep_->text[length] = '\0';
    rep_->length = length;
  }
  void Retain() noexcept {
    if (rep_) ++rep_->refs;
  }
  static void ReleaseRep(Rep* rep) noexcept {
    if (rep && --rep->refs == 0) free(rep);
  }
  void Release() noexcept {
    ReleaseRep(rep_);
    rep_ = nullptr;
  }
  // Makes the buffer ours alone with room for `capacity` bytes; false when out
  // of memory (the text is then unchanged).
  bool MakeUnique(size_t capacity);

  Rep* rep_;  // null: the empty text
};
