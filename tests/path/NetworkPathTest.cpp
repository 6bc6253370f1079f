// Network path texts taken apart into server, share and rest, and rebuilt.
#include <gtest/gtest.h>

#include <string>

#include "NetworkPath.h"

namespace {

std::string Parts(const NetworkPath& path) {
  return std::string(path.Server().CStr()) + "|" + path.Share().CStr() + "|" + path.Rest().CStr();
}

}  // namespace

TEST(NetworkPath, SplitsServerShareAndRest) {
  NetworkPath full(CString("\\\\srv\\shr\\a\\b"));
  EXPECT_TRUE(full.IsUNC());
  EXPECT_EQ("srv|shr|a\\b", Parts(full));
  EXPECT_STREQ("\\\\srv\\shr", full.ShareRoot().CStr());
  EXPECT_EQ("srv||", Parts(NetworkPath(CString("\\\\srv"))));
  EXPECT_STREQ("\\\\srv\\", NetworkPath(CString("\\\\srv")).ShareRoot().CStr());
  EXPECT_EQ("dir|file|", Parts(NetworkPath(CString("\\dir\\file")))) << "one backslash counts too";
  EXPECT_EQ("srv|shr|", Parts(NetworkPath(CString("\\\\srv\\shr\\"))));

  for (const char* none : {"", "C:\\dir", "\\\\\\srv\\shr", "\\\\", "srv\\shr"}) {
    NetworkPath path{CString(none)};
    EXPECT_FALSE(path.IsUNC()) << none;
    CString server("x"), share("x"), rest("x");
    EXPECT_TRUE(path.Split(&server, &share, &rest));
    EXPECT_EQ("||", std::string(server.CStr()) + "|" + share.CStr() + "|" + rest.CStr()) << none;
  }
  EXPECT_TRUE(NetworkPath(CString("\\\\SRV\\Shr")) == NetworkPath(CString("\\\\srv\\shr")));
}

TEST(NetworkPath, RebuildsFromItsParts) {
  NetworkPath path(CString("\\\\srv\\shr\\a"));
  path.SetShare("new");
  EXPECT_STREQ("\\\\srv\\new\\a", path.Text().CStr());
  path.SetPrefixKind(NetworkPath::eOneBackslash);
  EXPECT_STREQ("\\srv\\new\\a", path.Text().CStr());
  path.SetPrefixKind(NetworkPath::eTwoBackslashes);
  path.ReduceToShare();
  EXPECT_STREQ("\\\\srv\\new", path.Text().CStr());
  path.SetRest("r");
  EXPECT_STREQ("\\\\srv\\new\\r", path.Text().CStr());
  path.ReduceToServer();
  path.SetRest("lost");
  EXPECT_STREQ("\\\\srv", path.Text().CStr()) << "no rest without a share";
  path.ReduceToPrefix();
  EXPECT_STREQ("\\\\", path.Text().CStr());
}
