#pragma once
// Phonebook entries as the bytes that travel through the registry, for the
// suites of the phonebook exports. Every byte differs from its neighbours,
// so that any byte moved or lost shows, except in the members the service
// requires of an entry it is to write (number, device, framing), which hold
// valid values as far as the entry reaches.

#include <windows.h>

#include <ras.h>

#include <cstddef>
#include <string>
#include <vector>

// `size` bytes whose size field says `layout`; no alternate numbers.
inline std::string Entry(size_t size, int seed, DWORD layout = 2088) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + seed);
  auto put = [&bytes](size_t at, const std::string& data) {
    if (at >= bytes.size()) return;
    const std::string fits = data.substr(0, bytes.size() - at);
    bytes.replace(at, fits.size(), fits);
  };
  const DWORD none = 0, ppp = RASFP_Ppp;
  put(0, std::string(reinterpret_cast<const char*>(&layout), sizeof layout));
  put(offsetof(RASENTRYA, dwAlternateOffset), std::string(reinterpret_cast<const char*>(&none), sizeof none));
  put(offsetof(RASENTRYA, dwFramingProtocol), std::string(reinterpret_cast<const char*>(&ppp), sizeof ppp));
  put(offsetof(RASENTRYA, szLocalPhoneNumber), std::string("555 0100", 9));
  put(offsetof(RASENTRYA, szDeviceType), std::string("modem", 6));
  put(offsetof(RASENTRYA, szDeviceName), std::string("Kalora 56K Voice", 17));
  return bytes;
}

// `entry` with alternate numbers behind it, where its offset then points.
inline std::string WithAlternates(std::string entry, const std::vector<std::string>& numbers) {
  const DWORD offset = static_cast<DWORD>(entry.size());
  entry.replace(offsetof(RASENTRYA, dwAlternateOffset), sizeof offset, reinterpret_cast<const char*>(&offset),
                sizeof offset);
  for (const std::string& number : numbers) entry += number + '\0';
  return entry + '\0';
}
