#pragma once
// The promises every case of the sweep is held to, in one place. A case is
// one export call with one input. Around it the sweep reads, with plain
// platform calls, every registry subtree and folder that some export may
// touch; afterwards each change must be one the case allows, and the process
// heaps must still be valid (the run also has Wine's heap checks on and fails
// on any heap warning). What a result promises (1, "true", 0 for an error)
// each group checks against what the platform or the stand-in shows.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "CString.h"
#include "RawRegistry.h"

namespace sweep {

// A key, a value of a key, or a file, by where the platform shows it.
struct Item {
  std::string where;  // "HKCU\Software\..." or "C:\..."
  bool isValue;
  std::string name;  // of the value
  bool operator<(const Item& other) const {
    return std::tie(where, isValue, name) < std::tie(other.where, other.isValue, other.name);
  }
};
// Each item with its content: a value's type and bytes, a file's size.
using State = std::map<Item, std::string>;

struct Change {
  Item item;
  bool before, after;  // present
  std::string was, is;
  std::string Describe() const;
};
using Allowed = std::function<bool(const Change&)>;

// Every watched subtree and folder as it stands.
State Watch();
std::vector<Change> Diff(const State& before, const State& after);
// Runs one case and checks what all cases promise; returns the changes for
// the group's own checks. The case is named in its failures and, should it
// bring the process down, in the process's last words.
std::vector<Change> Case(const std::string& name, const std::function<void()>& call, const Allowed& allowed);
// Writes the name of the case about to run to the run's output, so that the
// last name there tells which case crashed or hung the program.
void NameCase(const std::string& name);
// Whether the text names `prefix` or something below it, ignoring case as
// the registry and the file system do.
bool Within(const std::string& where, const std::string& prefix);
bool SameText(const std::string& a, const std::string& b);
// A key added above `key` ("HKCU\..."), as creating it adds them.
bool OnTheWayTo(const Change& change, const std::string& key);
bool NothingElse(const Change&);
// The components of a path as the platform reads them: runs of separators
// are one, and a double-byte character ending in the separator's byte is no
// separator.
std::string Collapsed(const std::string& path);

// The current-user root both libraries work under during the run (below
// HKCU), and the same as the text a host passes.
const std::string& UserRoot();
std::string UserRootText();
// The stand-in spooler's and phonebook's own state, steered by the tests.
extern const char kSpooler[];
std::string PhonebookKey();
extern const char kProduct[];  // the product's key below a user root

// Each export as a host finds it by name; the reference arguments seen
// through pointers, so that a case can pass null.
struct Exports {
  int (*installPrinter)(const char*);
  int (*printerSetUser)(const char*);
  bool (*printerWrite)(const CString*, const CString*, const CString*);
  int (*extSetUser)(const char*);
  void (*extWrite)(const std::string*, const std::string*, const std::string*);
  void (*deleteValue)(const std::string*, const std::string*);
  void (*deleteKey)(const std::string*, const std::string*);
  int (*addDialUp)();
  int (*isBinding)(const char*);
  DWORD (*getRasEntry)(const char*);
  int (*addRasEntry)();
  int (*icon95)(const char*);
  int (*icon98)(const char*);
  int (*fileShare)();
  HRESULT(STDAPICALLTYPE* registerServer)();  // the platform's declaration
};
// Loaded once for the program, both roots redirected to UserRoot().
const Exports& Dlls();

// `prefix` followed by none, and by 259, 260, 261, 4096, 65536 and 65537
// bytes of `fill` (where a length the platform counts in 16 bits wraps);
// and texts the system code page reads as
// double-byte characters (one of them ends in the byte of "\", one in "|").
typedef std::vector<std::pair<std::string, std::string>> Texts;
Texts Lengths(char fill, const std::string& prefix = "");
extern const char kDoubleByte[];   // "表" in code page 932: 95 5C
extern const char kPipeTrail[];    // "ポ": 83 7C
bool InCodePage932();

// The text value of `name` at `key` below HKCU, without its NUL; a marker
// when it is missing or no text.
std::string TextAt(const std::string& key, const std::string& name);

}  // namespace sweep
