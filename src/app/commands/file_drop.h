#pragma once
// Files dropped on the window, in the order they were dropped: a graph file
// (.ztl, any case) is opened as File Open opens it, asking first to save
// changes; any other file is imported as Import Data imports it, asking
// for the file type. Each file is one command of its own (its own undo
// snapshot, its own answers); a cancelled question skips only that file.

#include <string>
#include <vector>

namespace zentrel {

class CZentrelDoc;
class Ui;

bool IsGraphFileName(const std::string& path);

void OpenDroppedFiles(CZentrelDoc& doc, Ui& ui, const std::vector<std::string>& paths);

}  // namespace zentrel
