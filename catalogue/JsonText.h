// Text for JSON output: the tool's and the catalogue manifest's.
#pragma once

#include <string>

// A JSON string of the bytes: each byte outside printable ASCII stands for
// itself as \u00XX, as names from the archive are bytes.
std::string JsonString(const std::string& s);
