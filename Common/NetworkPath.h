#pragma once
// A network (UNC) path: a prefix of backslashes, a server, a share and the
// path below the share:
//
//   \\srv\shr\a\b     prefix "\\", server "srv", share "shr", rest "a\b"
//   \dir\file\x       prefix "\",  server "dir", share "file", rest "x"
//
// The parts are read from the text each time; a text that is no network
// path (empty, a drive letter, three backslashes) has empty parts.

#include "CString.h"
#include "DelimitedPath.h"

class NetworkPath : public DelimitedPath {
 public:
  enum EPrefixKind { eOneBackslash = 1, eTwoBackslashes = 2 };

  NetworkPath() = default;
  explicit NetworkPath(const CString& text);
  NetworkPath(const NetworkPath& other);
  NetworkPath& operator=(const NetworkPath& other);
  ~NetworkPath() override;

  // Ignores case (system upper-casing).
  friend bool operator==(const NetworkPath& a, const NetworkPath& b);
  friend bool operator!=(const NetworkPath& a, const NetworkPath& b) { return !(a == b); }

  // The prefix, then something other than a backslash.
  bool IsUNC() const;
  // Clears every output given, then fills each with its part when the text
  // is a network path. Always true.
  bool Split(CString* server, CString* share, CString* rest) const;
  CString Server() const;
  CString Share() const;
  CString Rest() const;
  // Prefix, server, "\" and share (the "\" even when the share is empty).
  CString ShareRoot() const;

  // Rebuilds the text from the parts; an empty argument keeps the present
  // part. The rest is kept only below a share.
  void SetParts(const CString& server, const CString& share, const CString& rest);
  void SetServer(const CString& server);
  void SetShare(const CString& share);
  void SetRest(const CString& rest);
  // eOneBackslash, or anything else for two; the parts stay.
  void SetPrefixKind(int kind);
  // The text becomes the prefix alone; prefix and server; prefix, server and
  // share.
  void ReduceToPrefix();
  void ReduceToServer();
  void ReduceToShare();

 private:
  CString Prefix() const;
};
