#include "export/xlsx_writer.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unordered_map>

#include "model/error.h"
#include "model/files.h"

namespace tessara {

namespace {

constexpr int64_t kHeaderRows = 2;
constexpr int64_t kProgressRows = 2048;
// Rows measured for the column widths: all of a small sheet, else the first
// and the last rows of a big one (where its widest numbers are).
constexpr int64_t kMeasureAll = 100000;
constexpr int64_t kMeasureEnds = 5000;
constexpr size_t kMaxCellText = 32767;
constexpr int kMaxColumns = 16384;
constexpr uint8_t kPaperA4 = 9;
// Format keys: bits 0..7 the number format, 8..32 the background, 33..57 the
// font colour, and these bits for a text: indented, or right-aligned in a
// column of numbers.
constexpr uint64_t kTextKey = uint64_t{1} << 60;
constexpr uint64_t kRightKey = uint64_t{1} << 61;

std::string WriteErrorText(const std::string& path, const std::string& cause) {
    return fmt::format("Ошибка записи в файл \"{}\"!\r\r{}", path, cause);
}

std::string ErrnoCause(int err) {
    switch (err) {
        case ENOSPC:
        case EDQUOT:
            return "Недостаточно места на диске.";
        case EACCES:
        case EPERM:
            return "Нет доступа к файлу или папке.";
        case ENOENT:
            return "Папка не найдена.";
        case ENOTDIR:
            return "Путь к файлу указывает не на папку.";
        case EISDIR:
            return "Под этим именем уже есть папка.";
        case EROFS:
            return "Диск доступен только для чтения.";
        case ENAMETOOLONG:
            return "Слишком длинное имя файла.";
        default:
            return ErrnoText(err);
    }
}

std::string LibraryCause(lxw_error e, int err) {
    switch (e) {
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            return "Недостаточно памяти.";
        case LXW_ERROR_CREATING_XLSX_FILE:
            return err != 0 ? ErrnoCause(err) : std::string("Не удалось создать файл.");
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_READING_TMPFILE:
            return "Ошибка временного файла" +
                   (err != 0 ? ": " + ErrnoCause(err) : std::string("."));
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
        case LXW_ERROR_ZIP_INTERNAL_ERROR:
        case LXW_ERROR_ZIP_BAD_ZIP_FILE:
        case LXW_ERROR_ZIP_PARAMETER_ERROR:
            return err != 0 ? ErrnoCause(err)
                            : std::string("Ошибка записи книги (возможно, на диске нет места).");
        default:
            return std::string("Ошибка формирования книги: ") + lxw_strerror(e);
    }
}

uint32_t Rgb(const TColor& c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

// The library takes 0 for "no colour" and has its own value for black.
lxw_color_t LibraryColor(const TColor& c) {
    const uint32_t rgb = Rgb(c);
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;
}

// Text cut to the longest a cell takes, at a character boundary.
std::string_view CellText(const std::string& text) {
    if (text.size() <= kMaxCellText) return text;
    size_t n = kMaxCellText;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return std::string_view(text).substr(0, n);
}

class Writer {
  public:
    Writer(const std::string& path, const std::string& temp, const TXlsxOptions& options)
        : path_(path), temp_(temp), options_(options) {}
    ~Writer() {
        if (wb_) lxw_workbook_free(wb_);
    }

    bool Write(const std::vector<TSheet>& sheets);

  private:
    [[noreturn]] void Fail(lxw_error e) {
        throw Error(WriteErrorText(path_, LibraryCause(e, errno)));
    }
    void Check(lxw_error e) {
        if (e != LXW_NO_ERROR) Fail(e);
    }
    lxw_format* FormatOf(const TSheetCell& cell, bool numberColumn);
    void Fill(const TSheet& sheet, int64_t row);
    std::vector<double> ColumnWidths(const TSheet& sheet);
    bool WriteSheet(const TSheet& sheet);
    bool Tick();

    const std::string& path_;
    const std::string& temp_;
    const TXlsxOptions& options_;
    std::string tmpdir_;
    bool constantMemory_ = false;
    lxw_workbook* wb_ = nullptr;
    lxw_format* title_ = nullptr;
    lxw_format* header_ = nullptr;
    lxw_format* numberHeader_ = nullptr;
    std::unordered_map<uint64_t, lxw_format*> formats_;
    std::vector<std::string> numFormats_;
    std::vector<TSheetCell> cells_;
    int64_t written_ = 0, total_ = 0;
};

lxw_format* Writer::FormatOf(const TSheetCell& cell, bool numberColumn) {
    // Number formats: 1 money, 2.. fixed places (with or without "%"), 40 signed.
    uint64_t number = 0;
    if (cell.Kind == TCellKind::Amount)
        number = 1;
    else if (cell.Kind == TCellKind::Number)
        number = 2 + uint64_t{std::min<uint8_t>(cell.Decimals, 10)} * 2 + (cell.Percent ? 1 : 0);
    else if (cell.Kind == TCellKind::Integer && cell.Signed)
        number = 40;
    // A text stands one step off the left edge, so that it does not run into
    // the right-aligned number of the column before it; a text among numbers
    // (a "-" for no value) stands where they do.
    const bool text = cell.Kind == TCellKind::Text;
    const bool right = text && numberColumn;
    if (number == 0 && !text && !cell.Background && !cell.Font) return nullptr;
    const uint64_t key = number | (text ? (right ? kRightKey : kTextKey) : 0) |
                         (cell.Background ? (uint64_t{Rgb(*cell.Background)} | 1u << 24) << 8 : 0) |
                         (cell.Font ? (uint64_t{Rgb(*cell.Font)} | 1u << 24) << 33 : 0);
    const auto it = formats_.find(key);
    if (it != formats_.end()) return it->second;
    lxw_format* f = workbook_add_format(wb_);
    if (!f) Fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    if (number != 0) {
        std::string text;
        if (number == 1) {
            text = "0.00";
        } else if (number == 40) {
            text = "+0;-0;0";
        } else {
            const int places = static_cast<int>((number - 2) / 2);
            text = places == 0 ? "0" : "0." + std::string(static_cast<size_t>(places), '0');
            if ((number - 2) % 2 == 1) text += "\"%\"";
        }
        // The format keeps the pointer: the texts live as long as the writer.
        numFormats_.push_back(text);
        format_set_num_format(f, numFormats_.back().c_str());
    }
    if (cell.Background) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, LibraryColor(*cell.Background));
    }
    if (cell.Font) format_set_font_color(f, LibraryColor(*cell.Font));
    if (right)
        format_set_align(f, LXW_ALIGN_RIGHT);
    else if (text)
        format_set_indent(f, 1);
    formats_.emplace(key, f);
    return f;
}

std::vector<double> Writer::ColumnWidths(const TSheet& sheet) {
    std::vector<int> chars(sheet.Columns.size(), 0);
    for (size_t c = 0; c < sheet.Columns.size(); ++c) {
        TSheetCell caption;
        caption.SetText(sheet.Columns[c].Caption);
        chars[c] = CellDisplayWidth(caption);
    }
    const auto measure = [&](int64_t row) {
        Fill(sheet, row);
        for (size_t c = 0; c < cells_.size(); ++c)
            chars[c] = std::max(chars[c], CellDisplayWidth(cells_[c]));
    };
    if (sheet.RowCount <= kMeasureAll) {
        for (int64_t r = 0; r < sheet.RowCount; ++r) measure(r);
    } else {
        for (int64_t r = 0; r < kMeasureEnds; ++r) measure(r);
        for (int64_t r = sheet.RowCount - kMeasureEnds; r < sheet.RowCount; ++r) measure(r);
    }
    std::vector<double> widths;
    // Text columns take the room of their indent too.
    for (size_t c = 0; c < chars.size(); ++c)
        widths.push_back(std::clamp(
            chars[c] * 1.1 + (sheet.Columns[c].Kind == TCellKind::Text ? 4.0 : 2.0), 4.0, 80.0));
    return widths;
}

// A row whose data cannot be read fails the export with the file's name.
void Writer::Fill(const TSheet& sheet, int64_t row) {
    for (TSheetCell& cell : cells_) cell.Clear();
    try {
        sheet.FillRow(row, cells_);
    } catch (const Error& e) {
        throw Error(WriteErrorText(path_, e.what()));
    }
}

bool Writer::Tick() {
    if (options_.Progress) options_.Progress(written_, total_);
    return !(options_.Cancelled && options_.Cancelled());
}

bool Writer::WriteSheet(const TSheet& sheet) {
    if (sheet.Columns.empty() || sheet.Columns.size() > kMaxColumns)
        throw Error(WriteErrorText(path_, "Неверное число столбцов листа."));
    cells_.assign(sheet.Columns.size(), TSheetCell{});
    const std::vector<double> widths = ColumnWidths(sheet);
    const int64_t perSheet = std::max<int64_t>(options_.MaxSheetRows - kHeaderRows, 1);
    const std::vector<std::string> names =
        SheetPartNames(sheet.Name, sheet.RowCount, options_.MaxSheetRows);
    int64_t row = 0;
    for (const std::string& name : names) {
        errno = 0;
        lxw_worksheet* ws = workbook_add_worksheet(wb_, name.c_str());
        // In constant memory a worksheet starts with its temporary file.
        if (!ws)
            Fail(constantMemory_ ? LXW_ERROR_CREATING_TMPFILE : LXW_ERROR_MEMORY_MALLOC_FAILED);
        for (size_t c = 0; c < widths.size(); ++c)
            Check(worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                       widths[c], nullptr));
        worksheet_freeze_panes(ws, kHeaderRows, static_cast<lxw_col_t>(sheet.FrozenColumns));
        // Printed (or made a PDF) as a table: as wide as the page, landscape,
        // the title and captions on every page.
        worksheet_set_paper(ws, kPaperA4);
        worksheet_set_landscape(ws);
        worksheet_fit_to_pages(ws, 1, 0);
        Check(worksheet_repeat_rows(ws, 0, kHeaderRows - 1));
        Check(worksheet_write_string(ws, 0, 0, std::string(CellText(sheet.Title)).c_str(), title_));
        // Captions stand over their values: right over numbers, left over texts.
        for (size_t c = 0; c < sheet.Columns.size(); ++c)
            Check(worksheet_write_string(
                ws, 1, static_cast<lxw_col_t>(c),
                std::string(CellText(sheet.Columns[c].Caption)).c_str(),
                sheet.Columns[c].Kind == TCellKind::Text ? header_ : numberHeader_));
        const int64_t end = std::min(sheet.RowCount, row + perSheet);
        for (int64_t first = row; row < end; ++row) {
            Fill(sheet, row);
            const auto r = static_cast<lxw_row_t>(row - first + kHeaderRows);
            for (size_t c = 0; c < cells_.size(); ++c) {
                const TSheetCell& cell = cells_[c];
                const auto col = static_cast<lxw_col_t>(c);
                lxw_format* f = FormatOf(cell, sheet.Columns[c].Kind != TCellKind::Text);
                switch (cell.Kind) {
                    case TCellKind::Empty:
                        if (f) Check(worksheet_write_blank(ws, r, col, f));
                        break;
                    case TCellKind::Text:
                        Check(worksheet_write_string(ws, r, col,
                                                     std::string(CellText(cell.Text)).c_str(), f));
                        break;
                    default:
                        Check(worksheet_write_number(ws, r, col, cell.Value, f));
                        break;
                }
            }
            if (++written_ % kProgressRows == 0 && !Tick()) return false;
        }
    }
    return true;
}

bool Writer::Write(const std::vector<TSheet>& sheets) {
    for (const TSheet& s : sheets) total_ += s.RowCount;
    // The constant-memory rows go to temporary files in the target's folder,
    // on the disk that must hold the workbook anyway.
    const size_t slash = temp_.rfind('/');
    tmpdir_ = slash == std::string::npos ? "." : (slash == 0 ? "/" : temp_.substr(0, slash));
    lxw_workbook_options o{};
    constantMemory_ = total_ >= options_.ConstantMemoryRows;
    o.constant_memory = constantMemory_ ? LXW_TRUE : LXW_FALSE;
    o.tmpdir = tmpdir_.data();
    o.use_zip64 = LXW_FALSE;
    wb_ = workbook_new_opt(temp_.c_str(), &o);
    if (!wb_) Fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    title_ = workbook_add_format(wb_);
    header_ = workbook_add_format(wb_);
    numberHeader_ = workbook_add_format(wb_);
    if (!title_ || !header_ || !numberHeader_) Fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    format_set_bold(title_);
    format_set_font_size(title_, 12);
    for (lxw_format* f : {header_, numberHeader_}) {
        format_set_bold(f);
        format_set_bottom(f, LXW_BORDER_THIN);
    }
    format_set_indent(header_, 1);
    format_set_align(numberHeader_, LXW_ALIGN_RIGHT);
    if (!Tick()) return false;
    for (const TSheet& s : sheets)
        if (!WriteSheet(s)) return false;
    if (!Tick()) return false;
    errno = 0;
    lxw_workbook* wb = wb_;
    wb_ = nullptr;  // closing frees the workbook whatever its outcome
    Check(workbook_close(wb));
    return true;
}

}  // namespace

std::vector<std::string> SheetPartNames(const std::string& name, int64_t rows,
                                        int64_t maxSheetRows) {
    const int64_t perSheet = std::max<int64_t>(maxSheetRows - kHeaderRows, 1);
    const int64_t parts = std::max<int64_t>((rows + perSheet - 1) / perSheet, 1);
    std::vector<std::string> names;
    for (int64_t p = 1; p <= parts; ++p)
        names.push_back(p == 1 ? name : fmt::format("{} ({})", name, p));
    return names;
}

bool WriteXlsx(const std::string& path, const std::vector<TSheet>& sheets,
               const TXlsxOptions& options) {
    const std::string temp = path + ".tmp~";
    // Fails at once, before the rows are written, when the folder takes no file.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw Error(WriteErrorText(path, ErrnoCause(errno)));
    ::close(fd);
    bool done = false;
    try {
        Writer writer(path, temp, options);
        done = writer.Write(sheets);
    } catch (const Error&) {
        ::unlink(temp.c_str());
        throw;
    } catch (const std::bad_alloc&) {
        ::unlink(temp.c_str());
        throw Error(WriteErrorText(path, "Недостаточно памяти."));
    }
    if (!done) {
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        throw Error(WriteErrorText(path, ErrnoCause(err)));
    }
    return true;
}

}  // namespace tessara
