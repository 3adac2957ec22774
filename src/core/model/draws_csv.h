#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/draw_archive.h"

namespace tessara {

// Draw CSV exchange. Lines are Windows-1251 bytes; the date text is carried
// byte for byte.

// Splits one line into ";"-separated fields, with quoted fields and the
// whitespace rules of the exchange format.
std::vector<std::string> SplitDrawCsvFields(std::string_view line);
// number;"date";n1;...;n6;extra (no line end).
std::string FormatDrawCsvLine(const TDrawRecord& draw);
// The whole file: one line per draw in archive order, each ended by CR LF.
std::string ExportDrawsCsvText(const TDrawsArray& draws);

struct TDrawsImportResult {
    int Added = 0;
    // Lines that had the draw layout but numbers outside 1..42 or an extra
    // ball outside 0..9: never stored, so no such draw reaches a statistic.
    int Rejected = 0;
    // Lines of another layout, or with a draw number that is not above 0.
    int Ignored = 0;
    // Draws the archive already has.
    int Existing = 0;
};
// Appends the draws of the file that the archive does not have yet. The text
// is Windows-1251, or UTF-8 when it starts with the byte-order mark or
// reads as UTF-8 throughout.
TDrawsImportResult ImportDrawsCsvText(TDrawArchive& archive, std::string_view text);

}  // namespace tessara
