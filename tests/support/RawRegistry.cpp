#include "RawRegistry.h"

#include <gtest/gtest.h>

namespace {

HKEY OpenRaw(HKEY root, const std::string& subkey, REGSAM access, LONG* status) {
  HKEY key = nullptr;
  *status = RegOpenKeyExA(root, subkey.c_str(), 0, access, &key);
  return *status == ERROR_SUCCESS ? key : nullptr;
}

const char* Abbreviation(HKEY root) {
  if (root == HKEY_CURRENT_USER) return "HKCU";
  if (root == HKEY_LOCAL_MACHINE) return "HKLM";
  if (root == HKEY_USERS) return "HKU";
  if (root == HKEY_CLASSES_ROOT) return "HKCR";
  return "?";
}

}  // namespace

RawValue ReadRawValue(HKEY root, const std::string& subkey, const std::string& name) {
  RawValue value;
  HKEY key = OpenRaw(root, subkey, KEY_QUERY_VALUE, &value.status);
  if (!key) return value;
  DWORD size = 0;
  value.status = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size);
  if (value.status == ERROR_SUCCESS) {
    value.data.resize(size);
    value.status = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
    value.data.resize(size);
  }
  RegCloseKey(key);
  return value;
}

LONG RawOpenStatus(HKEY root, const std::string& subkey) {
  LONG status;
  HKEY key = OpenRaw(root, subkey, KEY_QUERY_VALUE, &status);
  if (key) RegCloseKey(key);
  return status;
}

bool RawKeyExists(HKEY root, const std::string& subkey) {
  // READ_CONTROL is granted to the owner even by an empty DACL, so a key
  // whose rights were taken away still counts as there.
  LONG status;
  HKEY key = OpenRaw(root, subkey, READ_CONTROL, &status);
  if (key) RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

void RawCreateKey(HKEY root, const std::string& subkey) {
  HKEY key = nullptr;
  LONG status = RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  ASSERT_EQ(ERROR_SUCCESS, status) << "creating " << subkey;
  RegCloseKey(key);
}

void RawSetValue(HKEY root, const std::string& subkey, const std::string& name, DWORD type, const void* data,
                 DWORD size) {
  HKEY key = nullptr;
  LONG status = RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  ASSERT_EQ(ERROR_SUCCESS, status) << "creating " << subkey;
  status = RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  ASSERT_EQ(ERROR_SUCCESS, status) << "setting " << subkey << " " << name;
}

void RawSetText(HKEY root, const std::string& subkey, const std::string& name, const std::string& text) {
  RawSetValue(root, subkey, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void RawSetDword(HKEY root, const std::string& subkey, const std::string& name, DWORD number) {
  RawSetValue(root, subkey, name, REG_DWORD, &number, sizeof number);
}

LONG RawDeleteTree(HKEY root, const std::string& subkey) {
  typedef LONG(WINAPI * DeleteTree)(HKEY, const char*);
  static DeleteTree deleteTree =
      reinterpret_cast<DeleteTree>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteTreeA")));
  if (!deleteTree) return ERROR_CALL_NOT_IMPLEMENTED;
  return deleteTree(root, subkey.c_str());
}

std::vector<std::string> RawSubkeyNames(HKEY root, const std::string& subkey) {
  std::vector<std::string> names;
  LONG status;
  HKEY key = OpenRaw(root, subkey, KEY_ENUMERATE_SUB_KEYS, &status);
  if (!key) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

std::string ProgramName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string name(path);
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name = name.substr(0, dot);
  return name;
}

ScratchKey::ScratchKey(HKEY root, const std::string& under) : root_(root) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  path_ = under + "\\QELTests\\" + ProgramName() + "\\" + test->test_suite_name() + "." + test->name();
  RawDeleteTree(root_, path_);
  RawCreateKey(root_, path_);
}

ScratchKey::~ScratchKey() {
  RawDeleteTree(root_, path_);
  RegDeleteKeyA(root_, path_.c_str());
}

std::string ScratchKey::Below(const std::string& below) const { return below.empty() ? path_ : path_ + "\\" + below; }

std::string ScratchKey::Text(const std::string& below) const {
  return std::string(Abbreviation(root_)) + "\\" + Below(below);
}

DeniedKey::DeniedKey(HKEY root, const std::string& subkey) : root_(root), subkey_(subkey), denied_(false) {
  RawCreateKey(root, subkey);
  LONG status;
  HKEY key = OpenRaw(root, subkey, WRITE_DAC, &status);
  if (!key) return;
  SECURITY_DESCRIPTOR descriptor;
  ACL nobody;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  InitializeAcl(&nobody, sizeof nobody, ACL_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, &nobody, FALSE);
  denied_ = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
  RegCloseKey(key);
}

DeniedKey::~DeniedKey() {
  LONG status;
  HKEY key = OpenRaw(root_, subkey_, WRITE_DAC, &status);
  if (!key) return;
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  // No DACL at all: everyone may do everything again.
  SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
  RegCloseKey(key);
}
