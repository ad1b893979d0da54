#pragma once
// The Edit menu's Undo and Redo items name what they would take back or do
// again ("&Undo Smooth", "&Redo Smooth"); with nothing to name they read
// as the table's plain captions.

#include <string>

namespace zentrel {

class CZentrelDoc;

std::string UndoCaption(const CZentrelDoc& doc);
std::string RedoCaption(const CZentrelDoc& doc);

}  // namespace zentrel
