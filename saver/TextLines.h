// Splitting the user's text into the lines that are drawn into the relief.
#pragma once

#include <array>
#include <cstddef>
#include <string>

constexpr std::size_t kMaxTextLines = 4;

using TextLines = std::array<std::string, kMaxTextLines>;

// CR LF ends a line and is dropped; a lone CR or LF is an ordinary character
// of its line. All four lines start empty. The CR LF that would open a fifth
// line and everything after it are dropped. A null text gives four empty lines.
TextLines SplitTextLines(const char* text, std::size_t length);
TextLines SplitTextLines(const std::string& text);
