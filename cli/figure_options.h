// What the tool's --figures asks for: where the charts go, in which format and at which scale.
#pragma once

#include <optional>
#include <string>

namespace varno {

struct FigureOptions {
  std::string folder;
  std::string format = "png";   // png, svg or pdf
  int scale = 2;                // pixels a point of a PNG: 1 or 2
  std::optional<int> column;    // the main chart's column; nothing: the window's first choice
};

}  // namespace varno
