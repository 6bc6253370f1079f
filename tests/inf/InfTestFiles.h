#pragma once
// INF texts for the tests; they are written with TestFolder.

#include <string>
#include <vector>

#include "TestFolder.h"

// "[Version]" with a Windows NT signature and CR LF line ends added to the
// given lines (written with "\n").
std::string InfText(const std::string& body);
// The same text as UTF-16LE with a byte-order mark.
std::vector<unsigned char> Utf16WithBom(const std::string& text);
