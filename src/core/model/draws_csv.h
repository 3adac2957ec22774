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
    // Lines that had the draw layout but numbers outside 1..42: never stored,
    // so no such draw reaches a statistic.
    int Rejected = 0;
};
// Appends the draws of the file that the archive does not have yet.
TDrawsImportResult ImportDrawsCsvText(TDrawArchive& archive, std::string_view text);

}  // namespace tessara
