// Stand-in for mpr.dll, whose connection calls Wine answers with 1222 or
// 2250 whatever is asked. It keeps the process's connections and answers as
// the platform does (ERROR_MORE_DATA with the size needed,
// ERROR_NOT_CONNECTED, ERROR_ALREADY_ASSIGNED, ...), logging every call.
#include <windows.h>
#include <winnetwk.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "MprDouble.h"

namespace {

struct Connection {
  std::string local;   // "R:", or empty for a share without a letter
  std::string remote;  // "\\server\share..."
};

std::vector<Connection> g_connections;
std::string g_log;

std::string Text(const char* text) { return text ? text : "(null)"; }

DWORD Answer(DWORD status, const std::string& call) {
  g_log += call + " -> " + std::to_string(status) + "\n";
  SetLastError(status);
  return status;
}

// By letter or remote name, ignoring case.
std::vector<Connection>::iterator Find(const char* name) {
  for (auto c = g_connections.begin(); c != g_connections.end(); ++c) {
    if (lstrcmpiA(c->local.c_str(), name) == 0 || lstrcmpiA(c->remote.c_str(), name) == 0) return c;
  }
  return g_connections.end();
}

// Text and NUL into *size bytes, or ERROR_MORE_DATA with the size needed.
DWORD CopyOut(const std::string& text, char* buffer, DWORD* size, const std::string& call) {
  DWORD needed = static_cast<DWORD>(text.size() + 1);
  bool fits = buffer && *size >= needed;
  if (fits) memcpy(buffer, text.c_str(), needed);
  *size = fits ? *size : needed;
  return Answer(fits ? NO_ERROR : ERROR_MORE_DATA, call);
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI WNetUseConnectionA(HWND owner, NETRESOURCEA* resource, LPCSTR password, LPCSTR user,
                                                      DWORD flags, LPSTR, LPDWORD, LPDWORD result) {
  std::string local = Text(resource->lpLocalName), remote = Text(resource->lpRemoteName);
  std::string call = "use " + local + " " + remote + " type=" + std::to_string(resource->dwType) +
                     " flags=" + std::to_string(flags) + " owner=" + (owner ? "yes" : "no") + " password=" +
                     Text(password) + " user=" + Text(user);
  if (resource->dwType != RESOURCETYPE_DISK) return Answer(ERROR_BAD_DEV_TYPE, call);
  if (remote.compare(0, 2, "\\\\") != 0) return Answer(ERROR_BAD_NET_NAME, call);
  if (remote.compare(0, strlen(QEL_MPR_UNREACHABLE), QEL_MPR_UNREACHABLE) == 0) return Answer(ERROR_BAD_NETPATH, call);
  if (resource->lpLocalName && Find(local.c_str()) != g_connections.end()) return Answer(ERROR_ALREADY_ASSIGNED, call);
  g_connections.push_back(Connection{resource->lpLocalName ? local : "", remote});
  if (result) *result = 0;
  return Answer(NO_ERROR, call);
}

__declspec(dllexport) DWORD WINAPI WNetCancelConnection2A(LPCSTR name, DWORD flags, BOOL force) {
  std::string call = "cancel " + Text(name) + " flags=" + std::to_string(flags) + " force=" + std::to_string(force);
  auto connection = Find(name);
  if (connection == g_connections.end()) return Answer(ERROR_NOT_CONNECTED, call);
  g_connections.erase(connection);
  return Answer(NO_ERROR, call);
}

__declspec(dllexport) DWORD WINAPI WNetGetConnectionA(LPCSTR local, LPSTR remote, LPDWORD size) {
  std::string call = "connection " + Text(local) + " size=" + std::to_string(*size);
  auto connection = Find(local);
  if (connection == g_connections.end()) return Answer(ERROR_NOT_CONNECTED, call);
  return CopyOut(connection->remote, remote, size, call);
}

__declspec(dllexport) DWORD WINAPI WNetGetUserA(LPCSTR name, LPSTR user, LPDWORD size) {
  std::string call = "user " + Text(name) + " size=" + std::to_string(*size);
  if (name && Find(name) == g_connections.end()) return Answer(ERROR_NOT_CONNECTED, call);
  return CopyOut("qeltester", user, size, call);
}

// The record, then its texts: the share's name and the provider.
__declspec(dllexport) DWORD WINAPI WNetGetResourceInformationA(NETRESOURCEA* resource, LPVOID buffer, LPDWORD size,
                                                               LPSTR* system) {
  std::string remote = Text(resource->lpRemoteName);
  std::string call = "resource " + remote + " scope=" + std::to_string(resource->dwScope) +
                     " type=" + std::to_string(resource->dwType) + " size=" + std::to_string(*size);
  if (Find(remote.c_str()) == g_connections.end()) return Answer(ERROR_BAD_NET_NAME, call);
  DWORD needed = static_cast<DWORD>(sizeof(NETRESOURCEA) + remote.size() + sizeof QEL_MPR_PROVIDER + 1);
  if (*size < needed) {
    *size = needed;
    return Answer(ERROR_MORE_DATA, call);
  }
  NETRESOURCEA* out = static_cast<NETRESOURCEA*>(buffer);
  *out = NETRESOURCEA();
  out->dwType = RESOURCETYPE_DISK;
  out->lpRemoteName = strcpy(reinterpret_cast<char*>(out + 1), remote.c_str());
  out->lpProvider = strcpy(out->lpRemoteName + remote.size() + 1, QEL_MPR_PROVIDER);
  if (system) *system = nullptr;
  return Answer(NO_ERROR, call);
}

__declspec(dllexport) const char* QELMprCalls() { return g_log.c_str(); }

}  // extern "C"
