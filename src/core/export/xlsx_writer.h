#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/sheet.h"

namespace tessara {

// The most rows a worksheet of the format holds.
inline constexpr int64_t XlsxMaxRows = 1048576;

struct TXlsxOptions {
    // Rows per worksheet, the title and header rows included; a sheet with
    // more data rows continues on further worksheets.
    int64_t MaxSheetRows = XlsxMaxRows;
    // From this many data rows in all the workbook is written in constant
    // memory: each row goes to disk as it is written.
    int64_t ConstantMemoryRows = 50000;
    // Told the data rows written so far and their total, now and then.
    std::function<void(int64_t written, int64_t total)> Progress;
    // Asked as often; true breaks the export off.
    std::function<bool()> Cancelled;
};

// Writes the sheets into a workbook at path: on each worksheet the title in
// row 1 (bold), the column captions in row 2 under a frozen pane, then the
// rows, with columns as wide as their texts. The workbook is written to a
// temporary file beside path and renamed over it at the end, so path holds
// the old file or the whole new one. Returns false when cancelled (nothing
// written). Throws Error naming the file when it cannot be written.
bool WriteXlsx(const std::string& path, const std::vector<TSheet>& sheets,
               const TXlsxOptions& options = {});

// The names of the worksheets a sheet of rows data rows takes.
std::vector<std::string> SheetPartNames(const std::string& name, int64_t rows,
                                        int64_t maxSheetRows = XlsxMaxRows);

}  // namespace tessara
