// Network path texts taken apart into server, share and rest, and rebuilt.
#include <gtest/gtest.h>

#include <string>

#include "NetworkPath.h"

TEST(NetworkPath, SplitsAndRebuildsServerShareAndRest) {
  struct {
    const char* text;
    const char* parts;  // server|share|rest|share root
  } cases[] = {
      {"\\\\srv\\shr\\a\\b", "srv|shr|a\\b|\\\\srv\\shr"},
      {"\\\\srv", "srv|||\\\\srv\\"},
      {"\\dir\\file", "dir|file||\\dir\\file"},
      {"", "|||\\\\\\"},  // no network path: every part cleared
      {"C:\\dir", "|||\\\\\\"},
      {"\\\\\\srv\\shr", "|||\\\\\\"},
  };
  for (const auto& c : cases) {
    NetworkPath path{CString(c.text)};
    CString server("x"), share("x"), rest("x");
    EXPECT_TRUE(path.Split(&server, &share, &rest));
    EXPECT_EQ(c.parts,
              std::string(server.CStr()) + "|" + share.CStr() + "|" + rest.CStr() + "|" + path.ShareRoot().CStr());
  }

  NetworkPath path(CString("\\\\srv\\shr\\a"));
  path.SetShare("new");
  path.SetPrefixKind(NetworkPath::eOneBackslash);
  EXPECT_STREQ("\\srv\\new\\a", path.Text().CStr()) << "server and rest kept";
  EXPECT_TRUE(NetworkPath(CString("\\\\SRV\\Shr")) == NetworkPath(CString("\\\\srv\\shr")));
}
