#pragma once
// Copies the files that one install section of an INF names (its CopyFiles
// lists) through a setup file queue, without asking the user for disks:
//
//   InstallFilesFromINFSection files(section);      // an INFSection
//   files.SetDirectoryId(66000, driverDirectory);   // where the INF copies to
//   files.sourcePath = "D:\\drivers";               // where the files are
//   if (files.Install(1, SP_COPY_SOURCE_ABSOLUTE | SP_COPY_FORCE_NOOVERWRITE)) ...
//
// Each Install is one attempt with a new queue; the caller may change the
// source path between attempts. The queue's callback gets no pointer to
// this object, so its two settings are process-wide: whether prompts are
// suppressed, and a toggle that answers requests for media alternately
// "look again" and "give up". Every Install sets both afresh, so each
// attempt gives a missing source one silent second look.

#include <windows.h>

#include "CString.h"
#include "INFSection.h"

class InstallFilesFromINFSection {
 public:
  // SP_COPY_SOURCE_ABSOLUTE | SP_COPY_FORCE_NOOVERWRITE: files straight from
  // the source root, and never over a file that is already there.
  static constexpr DWORD kCopyFlags = 0x1040;

  // Works on its own copy of `section`, which opens the file again unless
  // the section shares an open one. The source path starts as the Windows
  // setup's "SourcePath", or empty.
  explicit InstallFilesFromINFSection(const INFSection& section);
  virtual ~InstallFilesFromINFSection();
  InstallFilesFromINFSection(const InstallFilesFromINFSection&) = delete;
  InstallFilesFromINFSection& operator=(const InstallFilesFromINFSection&) = delete;

  // The INF file opened and the section has lines.
  bool SectionOpens() const { return section_.IsValid(); }
  bool SetDirectoryId(DWORD id, const CString& folder);
  // One attempt: true when every queued file was copied (or already there).
  // promptSuppression 0 hands every notification to the platform, which
  // may then ask the user.
  bool Install(int promptSuppression, DWORD copyFlags);

  // The queue's callback, answering in place of the user while prompts are
  // suppressed.
  static UINT CALLBACK QueueCallback(void* context, UINT notification, UINT_PTR param1, UINT_PTR param2);

  CString sourcePath;

 private:
  INFSection section_;
};
