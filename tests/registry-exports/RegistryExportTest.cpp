// The registry-editing exports of both DLLs, called the way a host calls
// them: each DLL loaded with LoadLibrary, each export found by its exported
// name, the outcome read back with plain registry calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "CString.h"
#include "DecoratedExports.h"
#include "RawRegistry.h"

namespace {

const char kInstall[] = "Software\\Corvane Systems\\Hollowmarch\\QELPrinter";

typedef int (*SetCurrentUserKeyFn)(const char*);
typedef bool (*PrinterWriteFn)(const CString&, const CString&, const CString&);
typedef void (*SystemExtWriteFn)(const std::string&, const std::string&, const std::string&);
typedef void (*TwoTextsFn)(const std::string&, const std::string&);
// The same exports seen with pointers, to hand them null references.
typedef bool (*PrinterWriteByAddress)(const CString*, const CString*, const CString*);
typedef void (*SystemExtWriteByAddress)(const std::string*, const std::string*, const std::string*);
typedef void (*TwoTextsByAddress)(const std::string*, const std::string*);

template <class Fn>
Fn Find(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string Text(const RawValue& value) { return value.Found() ? value.Bytes() : "(missing)"; }

class RegistryExports : public testing::Test {
 protected:
  void SetUp() override {
    Load();
    // The stand-in for another user's key: a key below HKU\.Default.
    RawCreateKey(user_.Root(), user_.Path());
  }
  void TearDown() override { Unload(); }

  void Load() {
    printer_ = LoadLibraryA("QELPrinter.dll");
    systemExt_ = LoadLibraryA("QELSystemExt.dll");
    ASSERT_TRUE(printer_ && systemExt_) << "error " << GetLastError();
    printerSetUser_ = Find<SetCurrentUserKeyFn>(printer_, "SetCurrentUserKey");
    printerWrite_ = Find<PrinterWriteFn>(printer_, kPrinterWriteRegistryValue);
    extSetUser_ = Find<SetCurrentUserKeyFn>(systemExt_, "SetCurrentUserKey");
    extWrite_ = Find<SystemExtWriteFn>(systemExt_, "WriteRegistryValue");
    extDeleteValue_ = Find<TwoTextsFn>(systemExt_, "DeleteRegistryValue");
    extDeleteKey_ = Find<TwoTextsFn>(systemExt_, kSystemExtDeleteRegistryKey);
    ASSERT_TRUE(printerSetUser_ && printerWrite_ && extSetUser_ && extWrite_ && extDeleteValue_ && extDeleteKey_);
  }
  void Unload() {
    if (printer_) FreeLibrary(printer_);
    if (systemExt_) FreeLibrary(systemExt_);
    printer_ = systemExt_ = nullptr;
  }

  // What a key path below the current-user root reaches with the initial
  // root, and with the root redirected to user_.
  RawValue AtHome(const std::string& keyPath, const std::string& name) {
    return ReadRawValue(HKEY_CURRENT_USER, keyPath, name);
  }
  RawValue AtUser(const std::string& keyPath, const std::string& name) {
    return ReadRawValue(HKEY_USERS, user_.Path() + "\\" + keyPath, name);
  }
  // A key path of this test's own below whichever root.
  std::string Mine(const std::string& below) const { return home_.Below(below); }

  ScratchKey home_;
  ScratchKey user_{HKEY_USERS, ".Default\\Software"};
  HMODULE printer_ = nullptr;
  HMODULE systemExt_ = nullptr;
  SetCurrentUserKeyFn printerSetUser_ = nullptr;
  PrinterWriteFn printerWrite_ = nullptr;
  SetCurrentUserKeyFn extSetUser_ = nullptr;
  SystemExtWriteFn extWrite_ = nullptr;
  TwoTextsFn extDeleteValue_ = nullptr;
  TwoTextsFn extDeleteKey_ = nullptr;
};

}  // namespace

TEST_F(RegistryExports, WritesCreateEveryMissingLevelAndStoreTheTextWithItsNul) {
  EXPECT_TRUE(printerWrite_(Mine("printer\\a\\b\\c").c_str(), "Successful Install", "true"));
  RawValue written = AtHome(Mine("printer\\a\\b\\c"), "Successful Install");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), written.type);
  EXPECT_EQ(std::string("true\0", 5), Text(written));

  extWrite_(Mine("ext\\a\\b"), "TCP", "1");
  EXPECT_EQ(std::string("1\0", 2), Text(AtHome(Mine("ext\\a\\b"), "TCP")));

  // Empty text: one byte, the NUL; empty name: the default value.
  EXPECT_TRUE(printerWrite_(Mine("printer").c_str(), "", ""));
  EXPECT_EQ(std::string(1, '\0'), Text(AtHome(Mine("printer"), "")));
  extWrite_(Mine("ext"), "", "");
  EXPECT_EQ(std::string(1, '\0'), Text(AtHome(Mine("ext"), "")));
}

TEST_F(RegistryExports, WritesReplaceAValueOfAnotherType) {
  RawSetDword(HKEY_CURRENT_USER, Mine("k"), "p", 7);
  RawSetDword(HKEY_CURRENT_USER, Mine("k"), "e", 7);
  EXPECT_TRUE(printerWrite_(Mine("k").c_str(), "p", "exists"));
  extWrite_(Mine("k"), "e", "false");
  RawValue p = AtHome(Mine("k"), "p");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), p.type);
  EXPECT_EQ(std::string("exists\0", 7), Text(p));
  EXPECT_EQ(std::string("false\0", 6), Text(AtHome(Mine("k"), "e")));
}

TEST_F(RegistryExports, AKeyThatCannotBeCreatedGetsNothing) {
  // A key path starting with a separator reaches the platform as it is, and
  // the platform refuses it; so does a name longer than 255 characters.
  const std::string refused[] = {"\\" + Mine("p"), Mine(std::string(300, 'n'))};
  for (const std::string& keyPath : refused) {
    EXPECT_FALSE(printerWrite_(keyPath.c_str(), "v", "x")) << keyPath;
    extWrite_(keyPath, "v", "x");
  }
  EXPECT_TRUE(RawSubkeyNames(HKEY_CURRENT_USER, Mine("")).empty());
  EXPECT_FALSE(AtHome(Mine("p"), "v").Found());
}

TEST_F(RegistryExports, ALongRootNameRedirectsOnlyTheLibraryItWasGivenTo) {
  EXPECT_EQ(0, printerSetUser_(("HKEY_USERS\\" + user_.Path()).c_str()));
  EXPECT_TRUE(printerWrite_(kInstall, "Successful Install", "true"));
  EXPECT_EQ(std::string("true\0", 5), Text(AtUser(kInstall, "Successful Install")));

  EXPECT_TRUE(printerWrite_(Mine("redirected").c_str(), "v", "user"));
  EXPECT_EQ(std::string("user\0", 5), Text(AtUser(Mine("redirected"), "v")));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Mine("redirected"))) << "HKEY_CURRENT_USER is untouched";

  extWrite_(Mine("other library"), "v", "home");
  EXPECT_EQ(std::string("home\0", 5), Text(AtHome(Mine("other library"), "v")));
  EXPECT_FALSE(AtUser(Mine("other library"), "v").Found());
}

TEST_F(RegistryExports, AShortRootNameRedirectsToo) {
  EXPECT_EQ(0, extSetUser_(("HKU\\" + user_.Path()).c_str()));
  extWrite_(Mine("redirected"), "v", "user");
  EXPECT_EQ(std::string("user\0", 5), Text(AtUser(Mine("redirected"), "v")));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Mine("redirected")));

  EXPECT_TRUE(printerWrite_(Mine("other library").c_str(), "v", "home"));
  EXPECT_TRUE(AtHome(Mine("other library"), "v").Found());
}

TEST_F(RegistryExports, OnlyAnExistingKeyNamedExactlyRedirects) {
  const std::string redirect[] = {
      "",
      "hku\\" + user_.Path(),          // root names are matched exactly
      "HKU\\" + user_.Path() + "\\Missing",
      user_.Path(),                    // no root at all
      "My Computer\\HKU\\" + user_.Path(),
  };
  for (const std::string& text : redirect) {
    EXPECT_EQ(0, printerSetUser_(text.c_str())) << text;
    EXPECT_EQ(0, extSetUser_(text.c_str())) << text;
  }
  EXPECT_EQ(0, printerSetUser_(nullptr));
  EXPECT_EQ(0, extSetUser_(nullptr));
  EXPECT_TRUE(printerWrite_(Mine("p").c_str(), "v", "x"));
  extWrite_(Mine("e"), "v", "x");
  EXPECT_TRUE(AtHome(Mine("p"), "v").Found());
  EXPECT_TRUE(AtHome(Mine("e"), "v").Found());
  EXPECT_FALSE(RawKeyExists(HKEY_USERS, user_.Below("Software")));
}

TEST_F(RegistryExports, TheRootStartsAgainFromTheRunningUserWhenALibraryIsLoadedAgain) {
  printerSetUser_(("HKU\\" + user_.Path()).c_str());
  extSetUser_(("HKU\\" + user_.Path()).c_str());
  Unload();
  Load();
  EXPECT_TRUE(printerWrite_(Mine("p").c_str(), "v", "x"));
  extWrite_(Mine("e"), "v", "x");
  EXPECT_TRUE(AtHome(Mine("p"), "v").Found());
  EXPECT_TRUE(AtHome(Mine("e"), "v").Found());
}

TEST_F(RegistryExports, DeleteRegistryValueAlwaysWorksOnTheRunningUser) {
  RawSetText(HKEY_CURRENT_USER, Mine("k"), "NoSaveSettings", "1");
  RawSetText(HKEY_CURRENT_USER, Mine("k"), "kept", "1");
  RawSetText(HKEY_USERS, user_.Below(Mine("k")), "NoSaveSettings", "1");
  extSetUser_(("HKU\\" + user_.Path()).c_str());
  extDeleteValue_(Mine("k"), "NoSaveSettings");
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, AtHome(Mine("k"), "NoSaveSettings").status);
  EXPECT_TRUE(AtHome(Mine("k"), "kept").Found());
  EXPECT_TRUE(AtUser(Mine("k"), "NoSaveSettings").Found()) << "the redirected root is not used";

  // Missing values and keys are no error.
  extDeleteValue_(Mine("k"), "NoSaveSettings");
  extDeleteValue_(Mine("missing\\key"), "v");
  EXPECT_TRUE(AtHome(Mine("k"), "kept").Found());
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Mine("missing")));
}

TEST_F(RegistryExports, DeleteRegistryKeyDeletesTheSubtreeBelowTheCurrentUserRoot) {
  RawCreateKey(HKEY_CURRENT_USER, Mine("k\\doomed\\a\\b"));
  RawCreateKey(HKEY_CURRENT_USER, Mine("k\\doomed\\c"));
  RawCreateKey(HKEY_CURRENT_USER, Mine("k\\kept"));
  extDeleteKey_(Mine("k"), "doomed");
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Mine("k\\doomed")));
  EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Mine("k\\kept")));

  RawCreateKey(HKEY_USERS, user_.Below(Mine("k\\kept")));
  extSetUser_(("HKEY_USERS\\" + user_.Path()).c_str());
  extDeleteKey_(Mine("k"), "kept");
  EXPECT_FALSE(RawKeyExists(HKEY_USERS, user_.Below(Mine("k\\kept"))));
  EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Mine("k\\kept")));

  // Missing keys and subkeys are ignored.
  extDeleteKey_(Mine("k"), "missing");
  extDeleteKey_(Mine("missing"), "kept");
  EXPECT_TRUE(RawKeyExists(HKEY_USERS, user_.Below(Mine("k"))));
}

TEST_F(RegistryExports, DeleteRegistryKeyWithAnEmptySubkeyNameDeletesNothing) {
  RawCreateKey(HKEY_CURRENT_USER, Mine("k\\a\\b"));
  RawCreateKey(HKEY_USERS, user_.Below("x\\y"));
  extDeleteKey_(Mine("k"), "");
  EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Mine("k\\a\\b"))) << "not the key path's own subtree";
  // Nor the whole current-user root (here the stand-in user's key).
  extSetUser_(("HKU\\" + user_.Path()).c_str());
  extDeleteKey_("", "");
  EXPECT_TRUE(RawKeyExists(HKEY_USERS, user_.Below("x\\y")));
  extDeleteKey_("", std::string());
  EXPECT_TRUE(RawKeyExists(HKEY_USERS, user_.Below("x\\y")));
}

TEST_F(RegistryExports, NullReferencesAreRefusedWithoutACrash) {
  auto printerWrite = Find<PrinterWriteByAddress>(printer_, kPrinterWriteRegistryValue);
  auto extWrite = Find<SystemExtWriteByAddress>(systemExt_, "WriteRegistryValue");
  auto deleteValue = Find<TwoTextsByAddress>(systemExt_, "DeleteRegistryValue");
  auto deleteKey = Find<TwoTextsByAddress>(systemExt_, kSystemExtDeleteRegistryKey);
  const CString path(Mine("p").c_str()), name("v"), text("x");
  const std::string extPath = Mine("e"), extName = "v", extText = "x";

  EXPECT_FALSE(printerWrite(nullptr, &name, &text));
  EXPECT_FALSE(printerWrite(&path, nullptr, &text));
  EXPECT_FALSE(printerWrite(&path, &name, nullptr));
  extWrite(nullptr, &extName, &extText);
  extWrite(&extPath, nullptr, &extText);
  extWrite(&extPath, &extName, nullptr);
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Mine("p")));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Mine("e")));

  RawSetText(HKEY_CURRENT_USER, Mine("k"), "v", "x");
  RawCreateKey(HKEY_CURRENT_USER, Mine("k\\sub"));
  deleteValue(nullptr, &extName);
  deleteValue(&extPath, nullptr);
  deleteKey(nullptr, &extName);
  deleteKey(&extPath, nullptr);
  EXPECT_TRUE(AtHome(Mine("k"), "v").Found());
  EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Mine("k\\sub")));
}
