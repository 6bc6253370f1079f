#pragma once
// One drive of the machine: a letter (A: is number 1, Z: is 26), the
// process's current drive (number 0, looked up each time it is used), or a
// network share named by its path (number 27). -1 is no drive.
//
//   Drive d(CString("d:\\data"));     // drive 4
//   Drive s(CString("\\\\srv\\shr\\dir"));  // number 27, path \\srv\shr
//
// A drive answers what kind it is, its space, label and floppy form factor,
// and the network resource behind it; it can connect and disconnect that
// resource and become the current drive. What the platform refuses is kept
// in LastError() rather than reported.

#include <windows.h>

#include "CString.h"
#include "FilePath.h"
#include "NetworkPath.h"
#include "Win32Error.h"

class Drive {
 public:
  static constexpr int kNoDrive = -1;
  static constexpr int kCurrentDrive = 0;
  static constexpr int kNetworkShare = 27;

  enum EKind {
    eNoKind = 0,  // no such drive, or of no type known here
    eRemovable = 1,
    eFixed = 2,
    eRemote = 3,
    eCdRom = 4,
    eRamDisk = 5,
    eFloppy = 6,
  };

  explicit Drive(int number);
  // A network path names its share (the part below the share is dropped);
  // any other text names the drive of its first letter.
  explicit Drive(const CString& text);
  // Number and network path; the last error is not taken along.
  Drive(const Drive& other);
  Drive& operator=(const Drive& other);
  virtual ~Drive();

  // The user of the drive letter's network connection.
  virtual CString UserName();
  virtual void SetNumber(int number);
  virtual int Number() const { return number_; }
  // Same effective number, same network path (ignoring case).
  virtual bool operator==(const Drive& other) const;
  bool operator!=(const Drive& other) const { return !(*this == other); }
  // Numbers 0 to 26, or 27 with a network path.
  virtual bool IsValid() const;
  // The letter of the text's first character (either case); -1 when that is
  // no letter.
  virtual void SetLetter(const CString& text);
  // "X:\" for numbers 0 to 26, empty otherwise.
  virtual FilePath LocalRoot() const;
  virtual void SetNetworkPath(const NetworkPath& path);
  // The share of a number-27 drive; for a letter, the remote name the
  // letter is connected to (empty when none). A remembered connection that
  // is offline keeps its name, with ERROR_CONNECTION_UNAVAIL as last error.
  virtual NetworkPath NetworkPathOf();
  virtual void SetFromText(const CString& text);
  // The network path of a number-27 drive, else LocalRoot().
  virtual FilePath RootPath() const;
  // The name of the network provider serving NetworkPathOf().
  virtual CString NetworkProvider();
  virtual EKind Kind();

  // The number, with 0 replaced by the current drive's.
  int EffectiveNumber() const;
  bool Exists() { return Kind() != eNoKind; }
  bool IsCurrent() const;
  // The root can be read (the current drive always can); never lets the
  // platform ask the user to insert a disk.
  bool IsReady() const;
  // The volume calls below never let the platform ask for a disk either: an
  // empty drive fails with its error (ERROR_NOT_READY).
  bool HasPersistentAcls() const;
  CString VolumeLabel();
  // An empty label removes it.
  bool SetVolumeLabel(const CString& label);
  // The bytes free to this caller and the volume's size; false (both 0)
  // when neither platform call tells.
  bool DiskSpace(ULONGLONG& freeBytes, ULONGLONG& totalBytes);
  ULONGLONG FreeBytes();
  ULONGLONG TotalBytes();
  // In hundredths of an inch: 525, 350 or 800; 0 for no floppy drive.
  int FloppyFormFactor();
  // False for an invalid drive or a letter that cannot be selected.
  bool MakeCurrent() const;
  // Connects `path` (for a letter; otherwise the letter's known remote
  // name) or this share; with an owner window the platform may ask for a
  // password.
  bool Connect(const CString& path, HWND owner, bool updateProfile);
  bool Disconnect(bool updateProfile, bool force);
  Win32Error LastError() const { return lastError_; }

 private:
  // "X:" of the effective number.
  CString LocalName() const;
  // RootPath() with a trailing separator, as the volume calls want a share.
  CString VolumeRoot() const;

  int number_;
  NetworkPath networkPath_;
  Win32Error lastError_;
};

// The process's current drive, by number.
Drive CurrentDrive();
