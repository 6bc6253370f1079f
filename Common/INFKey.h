#pragma once
// One line of an INF section seen as a key and a value: in
//   CopyFiles = @HPLJ4.PPD, PSCRIPT
// the name is "CopyFiles" and the value is the reader's text of the fields
// right of the "=", joined by commas ("@HPLJ4.PPD,PSCRIPT"). Splitting the
// value is the caller's business. A key is valid when its name is not empty.

#include "CString.h"

class INFKey {
 public:
  INFKey();
  INFKey(const CString& name, const CString& value);
  INFKey(const INFKey& other);
  INFKey& operator=(const INFKey& other);
  virtual ~INFKey();

  // Same validity, same name and same value, compared byte for byte.
  bool operator==(const INFKey& other) const;
  bool operator!=(const INFKey& other) const { return !(*this == other); }

  bool IsValid() const { return valid_; }
  const CString& Name() const { return name_; }
  const CString& Value() const { return value_; }

 private:
  bool valid_;
  CString name_;
  CString value_;
};
