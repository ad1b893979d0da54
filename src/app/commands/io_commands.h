#pragma once
// Import and export commands: data files, clipboard text, WAV.

#include <cstdint>
#include <span>

namespace zentrel {

class CZentrelDoc;
class Ui;

void OnImportData(CZentrelDoc& doc, Ui& ui);             // 32771, I
void OnMultipleFileImporting(CZentrelDoc& doc, Ui& ui);  // 32826, M
void OnExportData(CZentrelDoc& doc, Ui& ui);             // 32776, E
void OnCopy(CZentrelDoc& doc, Ui& ui);                   // 57634, Ctrl+C
void OnPaste(CZentrelDoc& doc, Ui& ui);                  // 57637, Ctrl+V
void OnWaveImport(CZentrelDoc& doc, Ui& ui);             // 32835, X

// Colours Multiple File Importing gives the sets it loads, in turn
// (0x00BBGGRR).
std::span<const std::uint32_t> ImportColours();

}  // namespace zentrel
