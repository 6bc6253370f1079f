#pragma once
// A named section of one setup INF file, such as [Previous Names] of the
// system printer INF. A section object opens the file itself and owns what
// it opened: a copy opens the file again, so no two sections share a handle.
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
  INFSection(const INFSection& other);
  // Takes the other section's names and opens the file anew.
  INFSection& operator=(const INFSection& other);
  virtual ~INFSection();

  // Reads the INF file and checks the section. True when the file opened and
  // the section has at least one line.
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
  // (directory ids, file queues); null before the first Open.
  INFFile* File() const { return file_.Get(); }
  const CString& SectionName() const { return sectionName_; }
  const CString& InfFile() const { return infFile_; }

 private:
  friend class INFKeyIterator;

  bool valid_;
  CString sectionName_;
  CString infFile_;
  // Shared only with the line positions found through it, which must not
  // outlive the handle; never with another section.
  RefCountedHolder<INFFile> file_;
};
