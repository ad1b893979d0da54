#pragma once
// zentrel-cli render and the `render FILE` script line: the graph drawn
// offscreen with the QPainter surface into PNG, SVG or PDF.

#include <string>

#include "app/script/script_runner.h"

namespace zentrel::cli {

// The script hook: draws the document at the given size in pixels.
RenderFunction MakeRenderFunction(int width, int height);

// What is wrong with the file names of `zentrel-cli render IN OUT`; empty
// when they can be used.
std::string CheckRenderOutput(const std::string& output);

// Draws the document into output; prints the error and returns 1 on failure.
int RenderDocument(const CZentrelDoc& doc, const std::string& output, int width, int height);

}  // namespace zentrel::cli
