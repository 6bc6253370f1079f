#pragma once
// A path as text: components joined by a separator (a backslash). Registry
// key paths, file paths and network paths all build on it. Nothing here
// touches the disk or the registry; the text is just taken apart and put
// together, never splitting a double-byte character.
//
//   Head  "HKLM"     of  HKLM\SOFTWARE\Microsoft   (before the first separator)
//   Tail  "SOFTWARE\Microsoft"                     (after the first separator)
//   Last  "Microsoft"                              (after the last separator)

#include "CString.h"

class DelimitedPath {
 public:
  DelimitedPath() = default;
  explicit DelimitedPath(const CString& text);
  // Joins two parts with one separator, after dropping one leading and one
  // trailing separator from each.
  DelimitedPath(const CString& first, const CString& second);
  DelimitedPath(const DelimitedPath& other);
  DelimitedPath& operator=(const DelimitedPath& other);

  virtual ~DelimitedPath();
  // With no separator the text becomes the component; otherwise
  // component + separator + Tail().
  virtual void SetHead(const CString& component);
  // Adds a separator unless the text is empty or already ends with one, then
  // the component as given.
  virtual void Append(const CString& component);
  // The process-wide separator, "\".
  virtual const CString& Separator() const;
  // Index of the first separator, or the whole length when there is none.
  virtual size_t HeadLength() const;
  // Characters after the last separator, 0 when there is none.
  virtual size_t LastLength() const;
  // The whole length minus the head length.
  virtual size_t RestLength() const;

  const CString& Text() const { return text_; }
  CString Head() const;
  CString Tail() const;
  CString Last() const;
  size_t SeparatorCount() const;
  // False for an empty text; otherwise the text becomes Tail().
  bool RemoveHead();
  // False when Tail() is empty; otherwise drops the last separator and what
  // follows it.
  bool RemoveLast();
  DelimitedPath Parent() const;
  // The text with a blank after every separator, for showing to people.
  CString DisplayForm() const;

 protected:
  // Index of the first or last separator at a character boundary, or npos.
  size_t FirstSeparator() const;
  size_t LastSeparator() const;
  bool EndsWithSeparator() const;

  CString text_;
};

// Appends a component for the length of a scope; when the scope ends the path
// holds again exactly the text it had before.
class PathComponentScope {
 public:
  PathComponentScope(DelimitedPath& path, const CString& component);
  ~PathComponentScope();
  PathComponentScope(const PathComponentScope&) = delete;
  PathComponentScope& operator=(const PathComponentScope&) = delete;

 private:
  DelimitedPath& path_;
  CString before_;
};
