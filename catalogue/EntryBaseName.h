// The base name of an archive entry, from which portrait names and override
// file names are made.
#pragma once

#include <string>
#include <string_view>

// Sets stem to the characters of entryName after its last backslash and
// before its last dot, and returns true; false when no dot follows the last
// backslash.
bool GetEntryStem(std::string_view entryName, std::string_view& stem);

// Sets out to the entry's stem and returns true. Returns false, with out
// empty, when there is no stem or when it could not safely be used as a file
// name (for example "..", or one holding a '/').
bool GetEntryBaseName(std::string_view entryName, std::string& out);
