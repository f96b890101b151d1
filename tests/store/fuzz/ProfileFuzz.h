#pragma once
// Invariants of the profile functions and of the note encoding, checked on one
// arbitrary input. Shared by the libFuzzer target and by the test that replays
// the seed corpus in every normal build.
//
// The input is split like this: choices (which section, key and value to write,
// the text for the encoding) are taken from its end; what is left at the front is
// the file's content.
#include <QString>

#include <cstddef>
#include <cstdint>

// "" when every invariant holds for this input, else a description of the first
// one that failed.
QString checkProfileInput(const std::uint8_t* data, std::size_t size);
