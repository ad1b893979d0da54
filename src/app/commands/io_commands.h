#pragma once
// Import and export commands: data files, clipboard text, WAV.

#include <cstdint>
#include <span>

#include "app/commands/command_outcome.h"

namespace zentrel {

class CZentrelDoc;
class Ui;

CommandOutcome OnImportData(CZentrelDoc& doc, Ui& ui);             // I
CommandOutcome OnMultipleFileImporting(CZentrelDoc& doc, Ui& ui);  // M
CommandOutcome OnExportData(CZentrelDoc& doc, Ui& ui);             // E
CommandOutcome OnCopy(CZentrelDoc& doc, Ui& ui);                   // Ctrl+C
CommandOutcome OnPaste(CZentrelDoc& doc, Ui& ui);                  // Ctrl+V
CommandOutcome OnWaveImport(CZentrelDoc& doc, Ui& ui);             // X

// Colours Multiple File Importing gives the sets it loads, in turn
// (0x00BBGGRR).
std::span<const std::uint32_t> ImportColours();

}  // namespace zentrel
