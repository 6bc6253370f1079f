#include "NetworkPath.h"

#include <initializer_list>

namespace {

const char kBackslash = '\\';

}  // namespace

NetworkPath::NetworkPath(const CString& text) : DelimitedPath(text) {}

NetworkPath::NetworkPath(const NetworkPath& other) : DelimitedPath(other) {}

NetworkPath& NetworkPath::operator=(const NetworkPath& other) {
  DelimitedPath::operator=(other);
  return *this;
}

NetworkPath::~NetworkPath() = default;

bool operator==(const NetworkPath& a, const NetworkPath& b) { return &a == &b || a.Text().Upper() == b.Text().Upper(); }

CString NetworkPath::Prefix() const {
  return text_.At(0) == kBackslash && text_.At(1) != kBackslash ? CString("\\") : CString("\\\\");
}

bool NetworkPath::IsUNC() const {
  CString prefix = Prefix();
  return text_.StartsWith(prefix) && text_.Length() > prefix.Length() && text_.At(prefix.Length()) != kBackslash;
}

bool NetworkPath::Split(CString* server, CString* share, CString* rest) const {
  for (CString* part : {server, share, rest}) {
    if (part) part->Clear();
  }
  if (!IsUNC()) return true;

  size_t start = Prefix().Length();
  size_t serverEnd = text_.Find(kBackslash, start);
  if (server) *server = text_.Mid(start, serverEnd == CString::npos ? CString::npos : serverEnd - start);
  if (serverEnd == CString::npos) return true;
  size_t shareEnd = text_.Find(kBackslash, serverEnd + 1);
  if (share) *share = text_.Mid(serverEnd + 1, shareEnd == CString::npos ? CString::npos : shareEnd - serverEnd - 1);
  if (shareEnd != CString::npos && rest) *rest = text_.Mid(shareEnd + 1);
  return true;
}

CString NetworkPath::Server() const {
  CString server;
  Split(&server, nullptr, nullptr);
  return server;
}

CString NetworkPath::Share() const {
  CString share;
  Split(nullptr, &share, nullptr);
  return share;
}

CString NetworkPath::Rest() const {
  CString rest;
  Split(nullptr, nullptr, &rest);
  return rest;
}

CString NetworkPath::ShareRoot() const { return Prefix() + Server() + "\\" + Share(); }

void NetworkPath::SetParts(const CString& server, const CString& share, const CString& rest) {
  CString presentServer, presentShare, presentRest;
  Split(&presentServer, &presentShare, &presentRest);
  const CString& newServer = server.IsEmpty() ? presentServer : server;
  const CString& newShare = share.IsEmpty() ? presentShare : share;
  const CString& newRest = rest.IsEmpty() ? presentRest : rest;
  CString text = Prefix() + newServer;
  if (!newShare.IsEmpty()) {
    text += CString("\\") + newShare;
    if (!newRest.IsEmpty()) text += CString("\\") + newRest;
  }
  text_ = text;
}

void NetworkPath::SetServer(const CString& server) { SetParts(server, CString(), CString()); }

void NetworkPath::SetShare(const CString& share) { SetParts(CString(), share, CString()); }

void NetworkPath::SetRest(const CString& rest) { SetParts(CString(), CString(), rest); }

void NetworkPath::SetPrefixKind(int kind) {
  CString prefix = kind == eOneBackslash ? CString("\\") : CString("\\\\");
  if (prefix == Prefix()) return;
  CString server, share, rest;
  Split(&server, &share, &rest);
  // The parts go under the new prefix, which SetParts reads from the text.
  text_ = prefix;
  SetParts(server, share, rest);
}

void NetworkPath::ReduceToPrefix() { text_ = Prefix(); }

void NetworkPath::ReduceToServer() { text_ = Prefix() + Server(); }

void NetworkPath::ReduceToShare() {
  CString share = Share();
  text_ = Prefix() + Server();
  if (!share.IsEmpty()) text_ += CString("\\") + share;
}
