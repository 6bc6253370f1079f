#pragma once
// One open setup INF file: the handle the Windows setup library gives for a
// file it has read and parsed. A line position (INFCONTEXT) names the file it
// was found in, and means something only while that file stays open; so a
// position is kept together with a counted reference to its INFFile
// (INFLinePosition), and the handle closes when the last reference goes.
//
// All calls into the setup library live here: the reader, directory ids,
// and the file queue that copies the files an install section names. The
// library (setupapi.dll) is loaded from the system directory by each object,
// never imported: Windows 95 and 98 need not have it, and an import would
// keep the whole DLL from loading there instead of failing this one use.
// Texts come back through buffers of a caller-given size; a text that does
// not fit is a failure, and the buffer is then not to be read.

#include <windows.h>
#include <setupapi.h>

#include "CString.h"
#include "LoadedLibrary.h"
#include "RefCountedHolder.h"

class INFFile {
 public:
  // The size of the buffers fields and lines are read through: a longer
  // text counts as unreadable.
  static constexpr DWORD kTextBufferSize = 260;

  INFFile();
  virtual ~INFFile();
  INFFile(const INFFile&) = delete;
  INFFile& operator=(const INFFile&) = delete;

  // Reads the file at `path` (style INF_STYLE_WIN4, no class filter). Closes
  // what this object held before. False leaves the reader's invalid handle.
  bool Open(const CString& path);
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  // The path given to the last Open.
  const CString& Path() const { return path_; }
  // The file at Path() is still the one read: same size and time of last
  // change as it had when Open began. False when it has gone, or when Open
  // could not find it by that path (a bare name the reader resolves).
  bool Unchanged() const;
  // The thread's last error after the last failed call of this object.
  DWORD LastError() const { return lastError_; }

  // The first line of `section`, or its first line whose key is `key` (null:
  // any line). The section and key names match regardless of case.
  bool FindFirstLine(const char* section, const char* key, INFCONTEXT* found);
  // The line after `from` in its section.
  bool FindNextLine(const INFCONTEXT& from, INFCONTEXT* next);
  // The line's fields right of the "=", joined by ",", in `size` bytes.
  bool LineText(const INFCONTEXT& line, char* buffer, DWORD size);
  // Field `index` of the line (0 is the key) in `size` bytes.
  bool StringField(const INFCONTEXT& line, DWORD index, char* buffer, DWORD size);

  // Defines directory id `id` (66000 and up) as `folder` for this file's
  // destination directories.
  bool SetDirectoryId(DWORD id, const CString& folder);

  // One file queue at a time, with the platform's default callback context
  // for it. Opening a queue ends the one before; so do CloseFileQueue and
  // closing the file.
  bool OpenFileQueue();
  // Queues the files of install section `section` from `sourceRoot`.
  bool QueueSectionFiles(const CString& section, const CString& sourceRoot, DWORD copyFlags);
  // Copies what is queued; `callback` gets the queue's notifications with
  // this object as its context.
  bool CommitFileQueue(PSP_FILE_CALLBACK_A callback);
  void CloseFileQueue();
  // The platform's own answer to a notification of this object's queue.
  UINT DefaultQueueAnswer(UINT notification, UINT_PTR param1, UINT_PTR param2);

  // Handles open in this process; a handle that is never closed shows here.
  static long OpenHandles();
  // Every Open in this process so far, failed ones too: each reads the whole
  // file, the dearest thing the reader does.
  static long Opens();
  // File queues open in this process, the same way.
  static long OpenFileQueues();

 private:
  void Close();
  bool Failed();

  // What identifies the file on disk: its size and time of last change.
  struct Stamp {
    bool found;
    FILETIME lastWrite;
    DWORD sizeHigh, sizeLow;
  };
  static Stamp StampOf(const CString& path);

  // The entry points of the setup library this object uses; all null when
  // the library or one of them is missing.
  struct SetupCalls {
    decltype(&SetupOpenInfFileA) openInfFile;
    decltype(&SetupCloseInfFile) closeInfFile;
    decltype(&SetupFindFirstLineA) findFirstLine;
    decltype(&SetupFindNextLine) findNextLine;
    decltype(&SetupGetLineTextA) getLineText;
    decltype(&SetupGetStringFieldA) getStringField;
    decltype(&SetupSetDirectoryIdA) setDirectoryId;
    decltype(&SetupOpenFileQueue) openFileQueue;
    decltype(&SetupCloseFileQueue) closeFileQueue;
    decltype(&SetupInstallFilesFromInfSectionA) installFilesFromInfSection;
    decltype(&SetupCommitFileQueueA) commitFileQueue;
    decltype(&SetupInitDefaultQueueCallbackEx) initDefaultQueueCallback;
    decltype(&SetupTermDefaultQueueCallback) termDefaultQueueCallback;
    decltype(&SetupDefaultQueueCallbackA) defaultQueueCallback;
  };
  bool LoadSetupCalls();

  LoadedLibrary setupLibrary_;
  SetupCalls calls_;
  DWORD setupError_;
  CString path_;
  Stamp stamp_;
  HINF handle_;
  DWORD lastError_;
  HSPFILEQ queue_;
  void* queueContext_;
};

// Where an iterator stands: a line of a section and the open file it belongs
// to, shared by the iterator's copies.
struct INFLinePosition {
  INFLinePosition() : context() {}
  RefCountedHolder<INFFile> file;
  INFCONTEXT context;
};
