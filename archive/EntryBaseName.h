// The base name of an archive entry, from which override file names are made.
#pragma once

#include <string>
#include <string_view>

// Sets out to the characters of entryName after its last backslash and before
// its last dot, and returns true. Returns false, with out empty, when there is
// no dot after the last backslash or when the base name could not safely be
// used as a file name (for example "..", or one holding a '/').
bool GetEntryBaseName(std::string_view entryName, std::string& out);
