// Splitting text into lines at CR, LF or CR LF.
#pragma once

#include <vector>

#include "vcl/Types.h"

namespace vcl_detail {

/// The lines of Text without their ends; a final line end adds no empty line.
inline std::vector<String> SplitLines(const String& Text) {
  std::vector<String> lines;
  size_t i = 0, n = Text.size();
  while (i < n) {
    size_t j = i;
    while (j < n && Text[j] != '\r' && Text[j] != '\n') ++j;
    lines.push_back(Text.substr(i, j - i));
    if (j < n && Text[j] == '\r') {
      ++j;
      if (j < n && Text[j] == '\n') ++j;
    } else if (j < n) {
      ++j;
    }
    i = j;
  }
  return lines;
}

}  // namespace vcl_detail
