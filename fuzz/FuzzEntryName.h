// The entry that the judge_override target asks its inputs to replace, and
// that its seeds name.
#pragma once

constexpr const char* kFuzzEntryName = "PORTRAITS\\LARGE\\LTVARM1.GFX";
