#pragma once
// The command reference of the help window, written from the command table
// so that it always matches the menus and keys.

#include <string>

namespace zentrel {

// Markdown: one table per menu (caption, shortcut, keys, prompt), then the
// commands that have only keys.
std::string CommandReferenceMarkdown();

}  // namespace zentrel
