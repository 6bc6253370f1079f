// Stand-in for mpr.dll, whose connection calls Wine answers with 1222 or
// 2250 whatever is asked. It keeps the process's connections and the ones
// the user profile remembers, answers as the platform does and logs every
// call with its answer.
#include "MprDouble.h"

#include <windows.h>
#include <winnetwk.h>

#include <cstring>
#include <map>
#include <string>

namespace {

// Remote names by upper-case local name ("R:"), or by remote name for a
// share connected without a letter.
std::map<std::string, std::string> g_connections;
// Remote names by upper-case local name of the connections made with
// CONNECT_UPDATE_PROFILE. Cancelled without that flag, a connection stays
// remembered but unavailable (KB Q183986).
std::map<std::string, std::string> g_remembered;
std::string g_log;

std::string Text(const char* text) { return text ? text : "(null)"; }

std::string Key(const char* name) {
  std::string key = Text(name);
  CharUpperBuffA(&key[0], static_cast<DWORD>(key.size()));
  return key;
}

DWORD Answer(DWORD status, const std::string& call) {
  g_log += call + " -> " + std::to_string(status) + "\n";
  SetLastError(status);
  return status;
}

// Text and NUL into *size bytes and `done`, or ERROR_MORE_DATA and the size
// needed.
DWORD CopyOut(const std::string& text, char* buffer, DWORD* size, const std::string& call, DWORD done = NO_ERROR) {
  DWORD needed = static_cast<DWORD>(text.size() + 1);
  if (*size < needed) {
    *size = needed;
    return Answer(ERROR_MORE_DATA, call);
  }
  memcpy(buffer, text.c_str(), needed);
  return Answer(done, call);
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI WNetUseConnectionA(HWND owner, NETRESOURCEA* resource, LPCSTR password, LPCSTR user,
                                                      DWORD flags, LPSTR, LPDWORD, LPDWORD result) {
  std::string call = "use " + Text(resource->lpLocalName) + " " + Text(resource->lpRemoteName) +
                     " type=" + std::to_string(resource->dwType) + " flags=" + std::to_string(flags) +
                     (owner ? " owner" : "") + (password || user ? " credentials" : "");
  std::string key = Key(resource->lpLocalName ? resource->lpLocalName : resource->lpRemoteName);
  if (resource->dwType != RESOURCETYPE_DISK) return Answer(ERROR_BAD_DEV_TYPE, call);
  if (strncmp(Text(resource->lpRemoteName).c_str(), "\\\\", 2) != 0) return Answer(ERROR_BAD_NET_NAME, call);
  if (g_connections.count(key)) return Answer(ERROR_ALREADY_ASSIGNED, call);
  // Windows NT 4 and later refuse a remembered letter for another resource.
  auto remembered = g_remembered.find(key);
  if (remembered != g_remembered.end() && Key(resource->lpRemoteName) != Key(remembered->second.c_str()))
    return Answer(ERROR_DEVICE_ALREADY_REMEMBERED, call);
  g_connections[key] = resource->lpRemoteName;
  if ((flags & CONNECT_UPDATE_PROFILE) && resource->lpLocalName) g_remembered[key] = resource->lpRemoteName;
  *result = 0;
  return Answer(NO_ERROR, call);
}

// With CONNECT_UPDATE_PROFILE the profile forgets the connection, connected
// or not; without it a remembered one only goes offline.
__declspec(dllexport) DWORD WINAPI WNetCancelConnection2A(LPCSTR name, DWORD flags, BOOL force) {
  std::string call = "cancel " + Text(name) + " flags=" + std::to_string(flags) + " force=" + std::to_string(force);
  bool connected = g_connections.erase(Key(name)) != 0;
  bool forgotten = (flags & CONNECT_UPDATE_PROFILE) && g_remembered.erase(Key(name)) != 0;
  return Answer(connected || forgotten ? NO_ERROR : ERROR_NOT_CONNECTED, call);
}

// A remembered connection that is offline still names its resource, with
// ERROR_CONNECTION_UNAVAIL in place of NO_ERROR.
__declspec(dllexport) DWORD WINAPI WNetGetConnectionA(LPCSTR local, LPSTR remote, LPDWORD size) {
  std::string call = "connection " + Text(local) + " size=" + std::to_string(*size);
  auto connection = g_connections.find(Key(local));
  if (connection != g_connections.end()) return CopyOut(connection->second, remote, size, call);
  auto remembered = g_remembered.find(Key(local));
  if (remembered == g_remembered.end()) return Answer(ERROR_NOT_CONNECTED, call);
  return CopyOut(remembered->second, remote, size, call, ERROR_CONNECTION_UNAVAIL);
}

__declspec(dllexport) DWORD WINAPI WNetGetUserA(LPCSTR name, LPSTR user, LPDWORD size) {
  std::string call = "user " + Text(name) + " size=" + std::to_string(*size);
  if (!g_connections.count(Key(name))) return Answer(ERROR_NOT_CONNECTED, call);
  return CopyOut("qeltester", user, size, call);
}

// The record first, then its texts: the remote name and the provider.
__declspec(dllexport) DWORD WINAPI
    WNetGetResourceInformationA(NETRESOURCEA* resource, LPVOID buffer, LPDWORD size, LPSTR* system) {
  std::string remote = Text(resource->lpRemoteName);
  std::string call = "resource " + remote + " scope=" + std::to_string(resource->dwScope) +
                     " type=" + std::to_string(resource->dwType) + " size=" + std::to_string(*size);
  bool known = false;
  for (const auto& connection : g_connections) known = known || connection.second == remote;
  if (!known) return Answer(ERROR_BAD_NET_NAME, call);
  DWORD needed = static_cast<DWORD>(sizeof(NETRESOURCEA) + remote.size() + sizeof QEL_MPR_PROVIDER + 1);
  if (*size < needed) {
    *size = needed;
    return Answer(ERROR_MORE_DATA, call);
  }
  NETRESOURCEA* out = static_cast<NETRESOURCEA*>(buffer);
  *out = NETRESOURCEA();
  out->lpRemoteName = strcpy(reinterpret_cast<char*>(out + 1), remote.c_str());
  out->lpProvider = strcpy(out->lpRemoteName + remote.size() + 1, QEL_MPR_PROVIDER);
  *system = nullptr;
  return Answer(NO_ERROR, call);
}

__declspec(dllexport) const char* QELMprCalls() { return g_log.c_str(); }

}  // extern "C"
