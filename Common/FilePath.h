#pragma once
// A file-system path as text. The root is the part that says where the path
// starts; the rest is components joined by backslashes:
//
//   a\b          relative            (root "")
//   \a\b         rooted, no drive    (root "\")
//   C:a\b        drive-relative      (root "C:", relative to C:'s directory)
//   C:\a\b       absolute            (root "C:\")
//   \\srv\sh\a   network             (root "\\srv\sh\")
//
// The trailing state tells whether the text ends with a separator; a bare
// root ("\", "C:\", "\\") is its own state, as its separator can never go.
// A run of k dots as a component means k - 1 levels up ("..." is two).
// Forward slashes are taken as separators and never kept. Only ResolveNames,
// ConvertRootType, CurrentDirectory and CurrentRoot look at the disk or the
// process's current directory.

#include "CString.h"
#include "DelimitedPath.h"

class FilePath : public DelimitedPath {
 public:
  enum ERootType {
    kRelative = 0,
    kRootedWithoutDrive = 1,
    kDriveRelative = 2,
    kAbsoluteWithDrive = 3,
    kNetwork = 4,
  };
  enum ETrailingState {
    kNoTrailingSeparator = 0,
    kTrailingSeparator = 1,
    kBareRoot = 2,
  };

  FilePath() = default;
  explicit FilePath(const CString& text);
  explicit FilePath(const DelimitedPath& path);
  FilePath(const FilePath& other);
  FilePath& operator=(const FilePath& other);
  FilePath& operator=(const DelimitedPath& path);
  FilePath& operator=(const CString& text);

  ~FilePath() override;
  void SetHead(const CString& component) override;
  void Append(const CString& component) override;

  ERootType RootType() const;
  // The length of the root prefix; for a network path the server and share
  // with the backslash after them (the whole text when they are incomplete),
  // behind "\\?\UNC\" in the long form.
  size_t RootLength() const;
  ETrailingState TrailingState() const;
  // Adds or removes a trailing separator; a bare root keeps its separator,
  // and only a bare drive ("C:") can be made a bare root.
  void SetTrailingState(ETrailingState mode);

  // The characters after the last dot of the last component; empty when
  // there is none or the name ends with the dot.
  CString Extension() const;
  // Replaces the extension, with or without its leading dot; an empty one
  // removes it.
  void SetExtension(const CString& extension);
  // True when some component does not fit the 8.3 form.
  bool IsLongName() const;

  // Converts a copy of this path to the other's root type and trailing
  // state, then compares both ignoring case. Reads the current directory
  // when the root types differ.
  int Compare(const FilePath& other) const;
  friend bool operator==(const FilePath& a, const FilePath& b) { return a.Compare(b) == 0; }
  friend bool operator!=(const FilePath& a, const FilePath& b) { return a.Compare(b) != 0; }
  friend bool operator<(const FilePath& a, const FilePath& b) { return a.Compare(b) < 0; }
  friend bool operator<=(const FilePath& a, const FilePath& b) { return a.Compare(b) <= 0; }
  friend bool operator>(const FilePath& a, const FilePath& b) { return a.Compare(b) > 0; }
  friend bool operator>=(const FilePath& a, const FilePath& b) { return a.Compare(b) >= 0; }

  // Replaces the written components by the names stored on disk: the long
  // names, or the short (8.3) names where an entry has one. Components that
  // are not found, dot runs, and anything at or below a wildcard stay as
  // written; the root always does.
  void ResolveNames(bool longNames);
  // Rewrites the path to the given root type against the process's current
  // directory (and, for drive-relative paths, the drive's own directory).
  // A path that cannot take that type (another drive made relative, say)
  // stays absolute; when the current directory cannot be read nothing
  // changes.
  void ConvertRootType(ERootType target);
  // Removes "." components and resolves dot runs against the components
  // before them; what would climb above the start stays as dots. The root
  // type never changes: a relative path that would begin with a drive keeps
  // a leading ".".
  void Normalize();

  // The folder above: the last component goes (a trailing separator is not
  // taken for one), but never the root, so the parent of C:\a is C:\.
  FilePath Parent() const;

  // The process's current directory; empty when it cannot be read.
  static FilePath CurrentDirectory();
  // Its root: "C:" for a drive, "\\server\share" for a network folder.
  static FilePath CurrentRoot();

 private:
  // The text with every forward slash turned into a separator.
  static CString WithBackslashes(const CString& text);
  // The relative (kRelative) or rooted (kRootedWithoutDrive) form against
  // a current directory with trailing separator and its root; the text is
  // absolute, normalised and ends with a separator here.
  void MakeRelativeTo(const CString& cwd, const CString& root, ERootType target);
};
