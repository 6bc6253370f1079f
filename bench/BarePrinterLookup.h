#pragma once
// The printer driver lookup written straight onto the setup library, for the
// benchmarks: what a lookup of ours finds, found with the bare calls. It
// opens the INF once for each section it reads, as ours once did, unless
// `once` keeps one handle for the whole lookup.

#include <windows.h>
#include <setupapi.h>

#include <string>

#include "PrinterInfGenerator.h"

namespace bench {

struct LookupResult {
  bool found = false;
  std::string modelName;  // after [Previous Names]
  std::string section, dataFile, driverFile, configFile, helpFile;
  bool operator==(const LookupResult& o) const {
    return found == o.found && modelName == o.modelName && section == o.section && dataFile == o.dataFile && driverFile == o.driverFile &&
           configFile == o.configFile && helpFile == o.helpFile;
  }
};

// The same lookup written straight onto the setup library. `once` keeps one
// handle for the whole lookup instead of one per section.
class Bare {
 public:
  Bare(const std::string& path, bool once) : path_(path), once_(once) {}

  // With `once`, `opened` (when given) is the handle to use, which the
  // caller keeps open for its own further calls and closes.
  LookupResult Lookup(std::string name, HINF opened = INVALID_HANDLE_VALUE) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);

    LookupResult r;
    callersHandle_ = opened != INVALID_HANDLE_VALUE;
    shared_ = !once_ ? INVALID_HANDLE_VALUE : callersHandle_ ? opened : Open();
    HINF inf = Use();
    INFCONTEXT line;
    if (inf != INVALID_HANDLE_VALUE && SetupFindFirstLineA(inf, "Previous Names", nullptr, &line)) {
      do {
        char key[260], text[260];
        if (SetupGetStringFieldA(&line, 0, key, sizeof key, nullptr) &&
            SetupGetLineTextA(&line, nullptr, nullptr, nullptr, text, sizeof text, nullptr) && name == text) {
          name = key;
          break;
        }
      } while (SetupFindNextLine(&line, &line));
    }
    Done(inf);
    r.modelName = name;

    std::string maker;
    std::string a = name.substr(0, name.find('-') == std::string::npos ? 0 : name.find('-'));
    std::string b = name.substr(0, name.find(' ') == std::string::npos ? 0 : name.find(' '));
    if (HasSection(a))
      maker = a;
    else if (HasSection(b))
      maker = b;
    else
      for (const printerinf::Alias& alias : printerinf::Aliases())
        if (b == alias.firstWord) {
          maker = alias.section;
          break;
        }

    std::string value;
    if (!Value(maker, name, &value)) return Finish(r);
    r.section = value.substr(0, value.find(','));
    std::string dataSection;
    inf = Use();
    bool hasData = Value(inf, r.section, "DataSection", &dataSection);
    if (!Value(inf, r.section, "DataFile", &r.dataFile)) r.dataFile = r.section;
    Done(inf);
    if (!hasData) return Finish(r);
    inf = Use();
    r.found = Value(inf, dataSection, "DriverFile", &r.driverFile) && Value(inf, dataSection, "ConfigFile", &r.configFile);
    if (r.found) Value(inf, dataSection, "HelpFile", &r.helpFile);
    Done(inf);
    return Finish(r);
  }

 private:
  HINF Open() { return SetupOpenInfFileA(path_.c_str(), nullptr, INF_STYLE_WIN4, nullptr); }
  HINF Use() { return once_ ? shared_ : Open(); }
  void Done(HINF inf) {
    if (!once_ && inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
  }
  LookupResult& Finish(LookupResult& r) {
    if (once_ && !callersHandle_ && shared_ != INVALID_HANDLE_VALUE) SetupCloseInfFile(shared_);
    shared_ = INVALID_HANDLE_VALUE;
    return r;
  }
  bool HasSection(const std::string& section) {
    if (section.empty()) return false;
    HINF inf = Use();
    INFCONTEXT line;
    bool has = inf != INVALID_HANDLE_VALUE && SetupFindFirstLineA(inf, section.c_str(), nullptr, &line);
    Done(inf);
    return has;
  }
  bool Value(const std::string& section, const std::string& key, std::string* value) {
    HINF inf = Use();
    bool has = Value(inf, section, key, value);
    Done(inf);
    return has;
  }
  static bool Value(HINF inf, const std::string& section, const std::string& key, std::string* value) {
    INFCONTEXT line;
    char text[260];
    if (inf == INVALID_HANDLE_VALUE || section.empty() ||
        !SetupFindFirstLineA(inf, section.c_str(), key.c_str(), &line) ||
        !SetupGetLineTextA(&line, nullptr, nullptr, nullptr, text, sizeof text, nullptr))
      return false;
    *value = text;
    return true;
  }

  std::string path_;
  bool once_;
  HINF shared_ = INVALID_HANDLE_VALUE;
  bool callersHandle_ = false;
};

}  // namespace bench
