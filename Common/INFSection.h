#pragma once
// A named section of one setup INF file, such as [Previous Names] of the
// system printer INF. A section made from a file name opens the file itself
// and owns what it opened: a copy opens the file again, so no two such
// sections share a handle. A section made from a file already open shares
// it instead, as do its copies: a job that looks at many sections of one
// big file reads it once (the reader's cost of an open grows with the
// square of the number of sections).
//
//   INFSection models("HP", infPath);
//   if (models.Open()) {
//     INFKeyIterator model = models.Find("HP LaserJet 4");   // one key
//     for (INFKeyIterator line(models); line.IsValid(); ++line) ...  // all
//   }
//
// Matching of section and key names is the setup library's (case does not
// matter there).

#include "CString.h"
#include "INFFile.h"
#include "RefCountedHolder.h"

class INFKeyIterator;

class INFSection {
 public:
  INFSection();
  // Names the section; the file is read by Open.
  INFSection(const CString& sectionName, const CString& infFile);
  // A section of `file`, which the caller has opened (or tried to) and
  // which this section and its copies share; Open reads nothing.
  INFSection(const CString& sectionName, const RefCountedHolder<INFFile>& file);
  INFSection(const INFSection& other);
  // Takes the other section's names (and its file, when that is shared) and
  // opens the file anew unless it is shared.
  INFSection& operator=(const INFSection& other);
  virtual ~INFSection();

  // Reads the INF file, unless it is shared, and checks the section. True
  // when the file is open and the section has at least one line.
  bool Open();

  // The first line whose key is `keyName`: valid, with the name as given here
  // and the line's text as value; invalid when there is no such line or its
  // text is too long to read. Only the key of the result is meant to be used.
  INFKeyIterator Find(const CString& keyName) const;
  // The value Find would give, without building an iterator (which reads
  // the file once more); false where Find gives an invalid result.
  bool FindValue(const CString& keyName, CString* value) const;

  // Same section name and file path, byte for byte, open or not.
  bool operator==(const INFSection& other) const;
  bool operator!=(const INFSection& other) const { return !(*this == other); }

  bool IsValid() const { return valid_; }
  // The file behind the section, for the setup library's other calls on it
  // (directory ids, file queues); null before the first Open of a section
  // made from a file name.
  INFFile* File() const { return file_.Get(); }
  const CString& SectionName() const { return sectionName_; }
  const CString& InfFile() const { return infFile_; }

 private:
  friend class INFKeyIterator;

  bool valid_;
  CString sectionName_;
  CString infFile_;
  // Unless shared_, shared only with the line positions found through it,
  // which must not outlive the handle; never with another section.
  RefCountedHolder<INFFile> file_;
  bool shared_;
};
