#pragma once
// RegistryKey: a registry key named by a parent handle and a subkey path
// below it. A key is like a folder: it holds values (RegistryValue) and
// further keys (its subkeys). Building a key object opens nothing; Open or
// Create does, and the key remembers the status of its last platform call
// (LastError). Copies of an open key share its handle (closing one closes
// it for all); a copy of a key that is not open is independent.
//
//   RegistryKey key("HKLM\\SOFTWARE\\Microsoft", RegistryKey::kKeyAccess);
//   if (key.Open(RegistryKey::kKeyAccess)) { ... key.ValuesBegin() ... }
//
// Walking a key (RegistrySubkeyIterator, RegistryValueIterator) works on a
// list of names read when the walk starts, so deleting or adding entries
// during the walk does not disturb it. Include their headers to walk.

#include <windows.h>

#include <vector>

#include "CString.h"
#include "RegistryKeyHandle.h"
#include "RegistryValue.h"

class RegistrySubkeyIterator;
class RegistryValueIterator;
class RegistryNameSnapshot;

class RegistryKey {
 public:
  // DELETE | KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY |
  // KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY: the rights every key of the library
  // asks for (not KEY_READ, which would add READ_CONTROL).
  static constexpr REGSAM kKeyAccess = 0x1001F;

  // The platform counts a name's bytes in 16 bits: a longer key path or
  // value name would reach it cut to its length modulo 65536 and name
  // another key or value (one of 65536 bytes names the key itself). Every
  // call refuses such names with ERROR_INVALID_PARAMETER instead.
  static bool NameFits(const CString& name) { return name.Length() < 0xFFFF; }

  // A predefined root is open at once; any other handle is opened again
  // (duplicated); a null handle gives a key that never opens.
  RegistryKey(HKEY root, REGSAM access);
  // A key below `parent`, relative to the parent's handle (also to one it
  // opens later).
  RegistryKey(const RegistryKey& parent, const CString& subkeyPath, REGSAM access);
  // "HKLM\SOFTWARE\..." or "HKEY_LOCAL_MACHINE\SOFTWARE\...".
  RegistryKey(const CString& pathText, REGSAM access);
  RegistryKey(const RegistryKey& other);
  RegistryKey& operator=(const RegistryKey& other);
  virtual ~RegistryKey();

  // Keeps `access` as the key's mask (also when already open or when the
  // call fails).
  bool Open(REGSAM access);
  // Creates the key and any missing keys above it, or opens it when it
  // exists, with the key's mask. Closes the key first.
  bool Create(DWORD options);
  void Close();
  bool IsOpen() const;
  // Opens with kKeyAccess when needed and closes again.
  bool Exists();

  const CString& SubkeyPath() const { return subkeyPath_; }
  LONG LastError() const { return lastError_; }
  REGSAM Access() const { return access_; }

  // 0 when the key cannot be asked.
  DWORD SubkeyCount();
  DWORD ValueCount();

  // Valid iterator whose current item is the value, or ValuesEnd().
  RegistryValueIterator FindValue(const CString& name);
  bool SetValue(const RegistryValue& value);
  bool DeleteValue(const CString& name);
  // Deletes the subkey with everything below it. An empty name is refused:
  // it would name this key itself.
  bool DeleteSubKey(const CString& name);
  // Moves this key, its values and its subtree under `destination`, keeping
  // its name. The source is deleted only once everything was copied. A
  // destination inside this key's subtree (or this key itself) is refused
  // before anything is copied.
  bool MoveTo(const RegistryKey& destination);

  // A hive file loaded as this key (a direct subkey of HKEY_USERS or
  // HKEY_LOCAL_MACHINE), this open key saved to a file, and the loaded hive
  // let go (no handle to it may stay open). On Windows NT the caller enables
  // the restore privilege for loading and unloading and the backup privilege
  // for saving; without them the platform answers 1314.
  bool LoadHive(const CString& file);
  bool SaveHive(const CString& file);
  bool UnloadHive();

  // One entry by index, with name buffers of the given length (+1); they
  // grow when the platform asks for more.
  bool EnumSubkey(DWORD index, DWORD longestNameLength, RegistryKey& subkey);
  bool EnumValue(DWORD index, DWORD longestNameLength, DWORD dataSize, RegistryValue& value);

  RegistrySubkeyIterator SubkeysBegin() const;
  RegistrySubkeyIterator SubkeysEnd() const;
  RegistryValueIterator ValuesBegin() const;
  RegistryValueIterator ValuesEnd() const;

  // Same handles, same subkey path (case-sensitive), same mask.
  friend bool operator==(const RegistryKey& a, const RegistryKey& b);
  friend bool operator!=(const RegistryKey& a, const RegistryKey& b) { return !(a == b); }

 private:
  friend class RegistryNameSnapshot;
  friend class RegistryValueIterator;

  struct Counts {
    DWORD subkeys = 0;
    DWORD longestSubkeyName = 0;
    DWORD values = 0;
    DWORD longestValueName = 0;
    DWORD longestData = 0;
  };

  // False, with the error kept, for a name the platform would misread.
  bool Fits(const CString& name);
  HKEY ParentHandle() const;
  HKEY OwnHandle() const;
  // What the subkey path is relative to: the parent's handle, or the key's
  // own when it has no parent.
  HKEY BaseHandle() const;
  bool EnsureOwnRecord();
  // Iterator support.
  bool QueryCounts(Counts& counts);
  bool ReadSubkeyName(DWORD index, std::vector<char>& buffer, CString& name);
  bool ReadValueName(DWORD index, std::vector<char>& buffer, CString& name);
  enum ENameKind { eSubkeyName, eValueName };
  bool ReadName(ENameKind kind, DWORD index, std::vector<char>& buffer, CString& name);
  bool ReadValue(const CString& name, DWORD sizeHint, RegistryValue& value);
  bool DeleteSubKeyOn(const CString& name, bool onWindowsNT);
  // Whether `other` is this key or lies below it; false when that cannot be
  // found out (the error is kept).
  bool Encloses(const RegistryKey& other, bool* encloses);
  // MoveTo without the check, for the keys of the subtree.
  bool MoveInto(const RegistryKey& destination);
  // Whether a subkey `name` exists here or anywhere below.
  bool SubtreeHolds(const CString& name);

  SharedKeyHandle parent_;
  SharedKeyHandle own_;
  CString subkeyPath_;
  LONG lastError_;
  REGSAM access_;
};
