// The registry-editing exports of both libraries with bad and odd texts:
// roots, separators, lengths, double-byte names, null references. A
// redirection takes only a key that exists; a write lands exactly where it
// was asked to, or nowhere; a deletion removes exactly what it names, or
// nothing.
#include <algorithm>

#include "Sweep.h"

using namespace sweep;

namespace {

const std::string kProbe = "Sweep Probe";

std::string Doubled(const std::string& path) {
  std::string out;
  for (char c : path) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

HKEY RootOf(const std::string& name) {
  return name == "HKLM" ? HKEY_LOCAL_MACHINE : name == "HKU" ? HKEY_USERS : HKEY_CURRENT_USER;
}

class RegistrySweep : public testing::Test {
 protected:
  void TearDown() override {
    Dlls().printerSetUser(UserRootText().c_str());
    Dlls().extSetUser(UserRootText().c_str());
    RawDeleteTree(HKEY_CURRENT_USER, UserRoot());
    RawCreateKey(HKEY_CURRENT_USER, UserRoot());
  }

  // Redirects each library with `text`, then writes a probe through it: the
  // probe lands below `landing` ("HKCU\..."; the root as it was when empty),
  // and the redirection itself changes nothing.
  void Redirect(const char* text, std::string landing) {
    if (landing.empty()) landing = UserRootText();
    HKEY root = RootOf(landing.substr(0, landing.find('\\')));
    std::string below = landing.find('\\') == std::string::npos ? "" : landing.substr(landing.find('\\') + 1);
    std::string probeKey = below.empty() ? kProbe : below + "\\" + kProbe;
    for (bool printer : {true, false}) {
      const std::string what = std::string(printer ? "QELPrinter" : "QELSystemExt") + " redirected to " +
                               std::string(text ? text : "(null)").substr(0, 80);
      SCOPED_TRACE(what);
      int result = -1;
      Case(what + ", setting the user", [&] { result = (printer ? Dlls().printerSetUser : Dlls().extSetUser)(text); }, NothingElse);
      EXPECT_EQ(0, result);
      bool written = false;
      const CString key(kProbe.c_str()), name("v"), value("x");
      const std::string extKey = kProbe, extName = "v", extValue = "x";
      Case(what + ", writing", [&] { written = printer ? Dlls().printerWrite(&key, &name, &value)
                                   : (Dlls().extWrite(&extKey, &extName, &extValue), true); },
           [&](const Change& c) { return Within(c.item.where, landing + "\\" + kProbe); });
      RawValue probe = ReadRawValue(root, probeKey, "v");
      EXPECT_EQ(std::string("x\0", 2), probe.Bytes()) << "at " << landing;
      EXPECT_TRUE(written);
      RawDeleteTree(root, probeKey);
      RegDeleteKeyA(root, probeKey.c_str());
      (printer ? Dlls().printerSetUser : Dlls().extSetUser)(UserRootText().c_str());
    }
  }

  // One write through each library: the one value that changes is the one
  // asked for (its name, below the key path as the platform reads it),
  // holding the text up to its first NUL; keys are only ever added on the
  // way. A write that reports success changed that value. Returns whether
  // both libraries wrote.
  bool Write(const std::string& keyPath, const std::string& name, const std::string& text) {
    const std::string cut = name.substr(0, name.find('\0')), stored = text.substr(0, text.find('\0')) + '\0';
    const std::string key = "HKCU\\" + Collapsed(UserRoot() + "\\" + keyPath.substr(0, keyPath.find('\0')));
    int landed = 0;
    for (bool printer : {true, false}) {
      const std::string what = std::string(printer ? "QELPrinter" : "QELSystemExt") + " writing [" +
                               name.substr(0, 40) + "] below [" + keyPath.substr(0, 60) + "] (" +
                               std::to_string(keyPath.size()) + ")";
      SCOPED_TRACE(what);
      bool reported = false;
      // As a host makes them from C texts.
      const CString cKey(keyPath.c_str()), cName(name.c_str()), cText(text.c_str());
      std::vector<Change> changes = Case(
          what, [&] { reported = printer ? Dlls().printerWrite(&cKey, &cName, &cText)
                                   : (Dlls().extWrite(&keyPath, &name, &text), true); },
          [&](const Change& c) {
            return c.item.isValue ? c.after && SameText(c.item.where, key) && c.item.name == cut : OnTheWayTo(c, key);
          });
      size_t values = std::count_if(changes.begin(), changes.end(), [](const Change& c) { return c.item.isValue; });
      EXPECT_GE(1u, values);
      EXPECT_TRUE(!printer || reported == (values == 1)) << "reported " << reported;
      for (const Change& c : changes)
        EXPECT_TRUE(!c.item.isValue || c.is == std::to_string(REG_SZ) + ":" + stored) << c.Describe();
      landed += values == 1;
      RawDeleteTree(HKEY_CURRENT_USER, UserRoot());
      RawCreateKey(HKEY_CURRENT_USER, UserRoot());
    }
    return landed == 2;
  }

  // The running user's values below "Del", each holding its own name; the
  // one asked for, in the key the platform opens, goes, nothing else does.
  void DeleteValue(const std::string& keyPath, const std::string& name) {
    const std::string what = "deleting value [" + name.substr(0, 40) + "] of [" + keyPath.substr(0, 80) + "]";
    SCOPED_TRACE(what);
    for (const std::string& held : {std::string("v"), std::string(), std::string(4096, 'n'), std::string("\x95\x5c")})
      RawSetText(HKEY_CURRENT_USER, UserRoot() + "\\Del", held, "held " + held);
    const std::string key = "HKCU\\" + Collapsed(keyPath);
    State before = Watch();
    bool held = RawOpenStatus(HKEY_CURRENT_USER, keyPath) == ERROR_SUCCESS &&
                std::any_of(before.begin(), before.end(), [&](const State::value_type& item) {
                  return item.first.isValue && SameText(item.first.where, key) && SameText(item.first.name, name);
                });
    std::vector<Change> changes = Case(what, [&] { Dlls().deleteValue(&keyPath, &name); }, [&](const Change& c) {
      return c.item.isValue && !c.after && SameText(c.item.where, key) && SameText(c.item.name, name);
    });
    EXPECT_EQ(held ? 1u : 0u, changes.size());
  }

  // A tree below the root; the subtree the platform opens as `subkey` of
  // the key path goes whole, nothing else does, and an empty name deletes
  // nothing.
  void DeleteKey(const std::string& keyPath, const std::string& subkey) {
    const std::string what = "deleting key [" + subkey.substr(0, 40) + "] of [" + keyPath.substr(0, 80) + "]";
    SCOPED_TRACE(what);
    for (const char* path : {"Tree\\a\\b\\c", "Tree\\a2", "Tree\\\x95\x5c\\x"}) {
      RawCreateKey(HKEY_CURRENT_USER, UserRoot() + "\\" + path);
      RawSetText(HKEY_CURRENT_USER, UserRoot() + "\\" + path, "", path);
    }
    std::string named = UserRoot() + "\\" + keyPath;
    HKEY parent = nullptr, child = nullptr;
    bool opens = !subkey.empty() && !RegOpenKeyExA(HKEY_CURRENT_USER, named.c_str(), 0, KEY_READ, &parent) &&
                 !RegOpenKeyExA(parent, subkey.c_str(), 0, KEY_READ, &child);
    if (child) RegCloseKey(child);
    if (parent) RegCloseKey(parent);
    std::string subtree = "HKCU\\" + Collapsed(named + "\\" + subkey);
    State before = Watch();
    size_t held = opens ? std::count_if(before.begin(), before.end(), [&](const State::value_type& item) {
      return Within(item.first.where, subtree);
    }) : 0;
    std::vector<Change> changes = Case(what, [&] { Dlls().deleteKey(&keyPath, &subkey); },
                                       [&](const Change& c) { return held && !c.after && Within(c.item.where, subtree); });
    EXPECT_EQ(held, changes.size()) << "the whole subtree " << subtree.substr(0, 120);
    RawDeleteTree(HKEY_CURRENT_USER, UserRoot() + "\\Tree");
  }
};

class RegistrySweep_Cp932 : public RegistrySweep {};

}  // namespace

TEST_F(RegistrySweep, RedirectionTakesOnlyAnExistingKeyNamedExactly) {
  const std::string other = UserRoot() + "\\Other";
  RawCreateKey(HKEY_CURRENT_USER, other);
  const std::pair<const char*, std::string> texts[] = {
      {nullptr, ""},
      {"HKCU\\", "HKCU"},
      {"HKCU", "HKCU"},
      {"HKLM", "HKLM"},
      {"HKEY_LOCAL_MACHINE\\", "HKLM"},
      {"HKU", "HKU"},
  };
  for (const auto& text : texts) Redirect(text.first, text.second);
  const std::pair<std::string, std::string> paths[] = {
      {"HKCU\\" + other, "HKCU\\" + other},
      {"HKEY_CURRENT_USER\\" + other, "HKCU\\" + other},
      {"HKCU\\" + Doubled(other), "HKCU\\" + other},
      {"HKCU\\" + other + "\\", "HKCU\\" + other},
      {"HKCU\\" + other + "\\\\", "HKCU\\" + other},
      {"hkcu\\" + other, ""},
      {"HKXX\\" + other, ""},
      {other, ""},
      {"\\HKCU\\" + other, ""},
      {"HKCU\\\\" + other, ""},
      {"HKCU\\" + other + "\\Missing", ""},
  };
  for (const auto& path : paths) Redirect(path.first.c_str(), path.second);
  for (const auto& text : Lengths('k', "HKCU\\")) Redirect(text.second.c_str(), text.first == "empty" ? "HKCU" : "");
}

TEST_F(RegistrySweep, WritesLandWhereAskedOrNowhere) {
  // Dots and wildcards are plain key names to the registry.
  for (const char* keyPath :
       {"Sweep\\k", "", "Sweep\\\\k", "Sweep\\k\\", "Sweep\\k\\\\\\", "\\Sweep\\lead", "..\\Sweep", "Sweep\\*?"})
    EXPECT_TRUE(Write(keyPath, "v", "x")) << keyPath;
  // Behind the user root, key paths of 259 bytes or more, one long name or
  // many short levels, are longer than the 260 characters the platform's
  // ANSI registry calls take (ERROR_MORE_DATA): nothing lands.
  for (const auto& text : Lengths('k', "Sweep\\"))
    EXPECT_EQ(text.first == "empty", Write(text.second, "v", "x")) << text.first;
  for (size_t n : {259, 260, 261, 4096, 65536, 65537}) {
    std::string levels;
    while (levels.size() < n) levels += "abc\\";
    EXPECT_FALSE(Write(levels.substr(0, n), "v", "x")) << n << " bytes of levels";
  }
  // Names of 64 KB or more are refused; shorter ones land, as the platform
  // here (and Windows since XP) takes value names of up to 16,383
  // characters. Texts land whatever their length.
  for (const auto& text : Lengths('n'))
    EXPECT_EQ(text.second.size() < 65536, Write("Sweep\\names", text.second, "x")) << text.first;
  for (const auto& text : Lengths('t')) EXPECT_TRUE(Write("Sweep\\texts", "v", text.second)) << text.first;
  EXPECT_TRUE(Write("Sweep\\nul", "v", std::string("ab\0cd", 5)));
  EXPECT_TRUE(Write(std::string("Sweep\\nul\0key", 13), std::string("v\0w", 3), "x"));
}

TEST_F(RegistrySweep, DeletionsTakeExactlyWhatThePlatformNames) {
  const std::string del = UserRoot() + "\\Del";
  for (const std::string& keyPath : {del, del + "\\", Doubled(del), "\\" + del, del + "\\Missing", std::string()})
    DeleteValue(keyPath, "v");
  std::string lower = del;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  DeleteValue(lower, "V");
  for (const auto& text : Lengths('n')) DeleteValue(del, text.second);
  DeleteValue(del, "missing");
  for (const auto& text : Lengths('k', "Software\\")) DeleteValue(text.second, "v");

  const std::pair<std::string, std::string> keys[] = {
      {"Tree", "a"}, {"Tree", "A"}, {"Tree", "a\\b"}, {"Tree", "a\\"}, {"Tree\\", "a"}, {"Tree\\\\", "a2"},
      {"\\Tree", "a"}, {"Tree", "\\a"}, {"Tree", ""}, {"Tree", "\\"}, {"Tree", "\\\\"}, {"", "Tree"}, {"", ""},
      {"Missing", "a"}, {"Tree", "missing"}, {"Tree", "a\\\\b"}, {"Tree\\a", ".."}, {"Tree", "*"},
  };
  for (const auto& key : keys) DeleteKey(key.first, key.second);
  for (const auto& text : Lengths('s')) DeleteKey("Tree", text.second);
  for (const auto& text : Lengths('k', "Tree\\")) DeleteKey(text.second, "a");
}

TEST_F(RegistrySweep, NullReferencesChangeNothing) {
  const CString key("Sweep"), name("v"), text("x");
  const std::string sKey = "Sweep", sName = "v", sText = "x", tree = "Tree";
  RawCreateKey(HKEY_CURRENT_USER, UserRoot() + "\\Tree\\Sweep");
  RawSetText(HKEY_CURRENT_USER, UserRoot() + "\\Tree", "v", "x");
  const std::pair<const char*, std::function<void()>> calls[] = {
      {"QELPrinter WriteRegistryValue(null, name, text)",
       [&] { EXPECT_FALSE(Dlls().printerWrite(nullptr, &name, &text)); }},
      {"QELPrinter WriteRegistryValue(key, null, text)",
       [&] { EXPECT_FALSE(Dlls().printerWrite(&key, nullptr, &text)); }},
      {"QELPrinter WriteRegistryValue(key, name, null)",
       [&] { EXPECT_FALSE(Dlls().printerWrite(&key, &name, nullptr)); }},
      {"QELPrinter WriteRegistryValue(null, null, null)",
       [&] { EXPECT_FALSE(Dlls().printerWrite(nullptr, nullptr, nullptr)); }},
      {"QELSystemExt WriteRegistryValue(null, name, text)", [&] { Dlls().extWrite(nullptr, &sName, &sText); }},
      {"QELSystemExt WriteRegistryValue(key, null, text)", [&] { Dlls().extWrite(&sKey, nullptr, &sText); }},
      {"QELSystemExt WriteRegistryValue(key, name, null)", [&] { Dlls().extWrite(&sKey, &sName, nullptr); }},
      {"DeleteRegistryValue(null, name)", [&] { Dlls().deleteValue(nullptr, &sName); }},
      {"DeleteRegistryValue(key, null)", [&] { Dlls().deleteValue(&tree, nullptr); }},
      {"DeleteRegistryKey(null, subkey)", [&] { Dlls().deleteKey(nullptr, &sKey); }},
      {"DeleteRegistryKey(key, null)", [&] { Dlls().deleteKey(&tree, nullptr); }},
      {"DeleteRegistryKey(null, null)", [&] { Dlls().deleteKey(nullptr, nullptr); }},
  };
  for (const auto& call : calls) {
    Case(call.first, call.second, NothingElse);
  }
}

TEST_F(RegistrySweep_Cp932, DoubleByteNamesAreNeverCutAtTheirTrailByte) {
  ASSERT_TRUE(InCodePage932());
  const std::string other = UserRoot() + "\\Other\\" + kDoubleByte;
  RawCreateKey(HKEY_CURRENT_USER, other);
  Redirect(("HKCU\\" + other).c_str(), "HKCU\\" + other);
  Redirect(("HKCU\\" + other + "\\").c_str(), "HKCU\\" + other);
  for (const std::string& keyPath : {std::string("Sweep\\") + kDoubleByte, std::string("Sweep\\") + kDoubleByte + "\\k",
                                     std::string(kDoubleByte) + kDoubleByte + "\\" + kPipeTrail})
    EXPECT_TRUE(Write(keyPath, kDoubleByte, std::string("text ") + kDoubleByte));
  DeleteValue(UserRoot() + "\\Del", kDoubleByte);
  DeleteValue(UserRoot() + "\\Del\\" + kDoubleByte, "v");
  DeleteKey("Tree", kDoubleByte);
  DeleteKey(std::string("Tree\\") + kDoubleByte, "x");
  DeleteKey("Tree", std::string(kDoubleByte) + "\\x");
}
