#pragma once
// What QELSystemExt leaves for the host's script. The library's current user
// is redirected to a scratch key of the test while this lives, so findings
// land there (and the redirection itself is tested by every read).

#include <string>

#include "QELSystemExt.h"
#include "RawRegistry.h"

class ScriptFindings {
 public:
  ScriptFindings() { SetCurrentUserKey(scratch_.Text().c_str()); }
  ~ScriptFindings() { SetCurrentUserKey("HKCU"); }

  // The text value `name` of ...\QELScriptExtension\<key>, without its NUL.
  std::string Text(const std::string& key, const std::string& name) const {
    RawValue value = ReadRawValue(HKEY_CURRENT_USER, scratch_.Below(kProduct + key), name);
    std::string bytes = value.Bytes();
    if (!value.Found() || value.type != REG_SZ || bytes.empty() || bytes.back() != '\0') return "(no text value)";
    return bytes.substr(0, bytes.size() - 1);
  }
  // A key path below the redirected current user.
  std::string Redirected(const std::string& below) const { return scratch_.Below(below); }
  void Set(const std::string& key, const std::string& name, const std::string& text) const {
    RawSetText(HKEY_CURRENT_USER, scratch_.Below(kProduct + key), name, text);
  }

  static constexpr const char* kProduct = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\";

 private:
  ScratchKey scratch_;
};
