#include "xlsx_reader.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "model/files.h"

namespace tessara::test {

namespace {

uint32_t U16(const std::string& b, size_t at) {
    if (at + 2 > b.size()) throw std::runtime_error("zip: truncated");
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8;
}
uint32_t U32(const std::string& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

std::string Inflate(const std::string& data, size_t size) {
    std::string out(size, '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw std::runtime_error("zip: inflate init");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (rc != Z_STREAM_END || z.total_out != size)
        throw std::runtime_error("zip: bad deflate data");
    return out;
}

std::string Unescape(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        static const std::pair<const char*, char> kEntities[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
        bool found = false;
        for (const auto& [name, c] : kEntities)
            if (s.substr(i, std::strlen(name)) == name) {
                out += c;
                i += std::strlen(name) - 1;
                found = true;
                break;
            }
        if (!found) out += '&';
    }
    return out;
}

// The value of attribute name in the tag text, or "".
std::string Attr(std::string_view tag, const std::string& name) {
    const std::string key = " " + name + "=\"";
    const size_t at = tag.find(key);
    if (at == std::string_view::npos) return {};
    const size_t start = at + key.size();
    return std::string(tag.substr(start, tag.find('"', start) - start));
}

// Every element <name ...>...</name> or <name .../> of xml, whole.
std::vector<std::string_view> Elements(std::string_view xml, const std::string& name) {
    std::vector<std::string_view> out;
    const std::string open = "<" + name, close = "</" + name + ">";
    size_t pos = 0;
    while ((pos = xml.find(open, pos)) != std::string_view::npos) {
        const char next = pos + open.size() < xml.size() ? xml[pos + open.size()] : '>';
        if (next != ' ' && next != '>' && next != '/') {
            pos += open.size();
            continue;
        }
        const size_t tagEnd = xml.find('>', pos);
        if (tagEnd == std::string_view::npos) throw std::runtime_error("xml: open tag " + name);
        size_t end;
        if (xml[tagEnd - 1] == '/') {
            end = tagEnd + 1;
        } else {
            end = xml.find(close, tagEnd);
            if (end == std::string_view::npos) throw std::runtime_error("xml: no " + close);
            end += close.size();
        }
        out.push_back(xml.substr(pos, end - pos));
        pos = end;
    }
    return out;
}

// The texts of every <t> inside an element, joined.
std::string Texts(std::string_view element) {
    std::string text;
    for (std::string_view t : Elements(element, "t")) {
        const size_t start = t.find('>') + 1;
        if (t[start - 2] == '/') continue;
        text += Unescape(t.substr(start, t.rfind("</t>") - start));
    }
    return text;
}

std::string Rgb(std::string_view element) {
    const std::string argb = Attr(element, "rgb");
    return argb.size() == 8 ? argb.substr(2) : argb;
}

void ParseRef(const std::string& ref, int& row, int& col) {
    size_t i = 0;
    col = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z') col = col * 26 + (ref[i++] - 'A' + 1);
    row = std::stoi(ref.substr(i));
}

}  // namespace

XlsxFile::XlsxFile(const std::string& path) : bytes_(ReadFileBytes(path)) {
    // The end of central directory record, then the central directory.
    size_t eocd = std::string::npos;
    for (size_t i = bytes_.size() >= 22 ? bytes_.size() - 22 : 0; i + 1 > 0; --i) {
        if (U32(bytes_, i) == 0x06054b50) {
            eocd = i;
            break;
        }
        if (i == 0) break;
    }
    if (eocd == std::string::npos) throw std::runtime_error("zip: no end record");
    const uint32_t count = U16(bytes_, eocd + 10);
    size_t at = U32(bytes_, eocd + 16);
    for (uint32_t n = 0; n < count; ++n) {
        if (U32(bytes_, at) != 0x02014b50) throw std::runtime_error("zip: bad directory");
        const uint32_t method = U16(bytes_, at + 10);
        const uint32_t packed = U32(bytes_, at + 20), size = U32(bytes_, at + 24);
        const uint32_t nameLen = U16(bytes_, at + 28), extraLen = U16(bytes_, at + 30),
                       commentLen = U16(bytes_, at + 32);
        const uint32_t local = U32(bytes_, at + 42);
        const std::string name = bytes_.substr(at + 46, nameLen);
        if (U32(bytes_, local) != 0x04034b50) throw std::runtime_error("zip: bad local header");
        const size_t data = local + 30 + U16(bytes_, local + 26) + U16(bytes_, local + 28);
        if (data + packed > bytes_.size()) throw std::runtime_error("zip: truncated entry");
        const std::string raw = bytes_.substr(data, packed);
        entries_[name] = method == 0 ? raw : Inflate(raw, size);
        at += 46 + nameLen + extraLen + commentLen;
    }
    if (HasEntry("xl/sharedStrings.xml"))
        for (std::string_view si : Elements(Entry("xl/sharedStrings.xml"), "si"))
            shared_.push_back(Texts(si));
    ReadStyles();
    // Sheets in the workbook's order; their files by the relationships.
    const std::string rels = Entry("xl/_rels/workbook.xml.rels");
    std::map<std::string, std::string> targets;
    for (std::string_view r : Elements(rels, "Relationship"))
        targets[Attr(r, "Id")] = Attr(r, "Target");
    for (std::string_view s : Elements(Entry("xl/workbook.xml"), "sheet")) {
        const std::string target = targets[Attr(s, "r:id")];
        sheets_.push_back(ReadSheet(Unescape(Attr(s, "name")), Entry("xl/" + target)));
    }
}

bool XlsxFile::HasEntry(const std::string& name) const { return entries_.count(name) > 0; }

const std::string& XlsxFile::Entry(const std::string& name) const {
    const auto it = entries_.find(name);
    if (it == entries_.end()) throw std::runtime_error("zip: no entry " + name);
    return it->second;
}

void XlsxFile::ReadStyles() {
    const std::string styles = Entry("xl/styles.xml");
    for (std::string_view f : Elements(styles, "numFmt"))
        numFmts_[std::stoi(Attr(f, "numFmtId"))] = Unescape(Attr(f, "formatCode"));
    for (std::string_view f : Elements(styles, "font")) {
        Font font;
        font.Bold = f.find("<b/>") != std::string_view::npos;
        const auto colors = Elements(f, "color");
        if (!colors.empty()) font.Color = Rgb(colors.front());
        fonts_.push_back(font);
    }
    for (std::string_view f : Elements(styles, "fill")) {
        const auto fg = Elements(f, "fgColor");
        fills_.push_back(fg.empty() ? std::string() : Rgb(fg.front()));
    }
    const std::string_view all = styles;
    const size_t start = all.find("<cellXfs");
    const std::string_view cellXfs = all.substr(start, all.find("</cellXfs>", start) - start);
    for (std::string_view x : Elements(cellXfs, "xf")) {
        Xf xf;
        xf.NumFmt = std::stoi(Attr(x, "numFmtId"));
        xf.Font = std::stoi(Attr(x, "fontId"));
        xf.Fill = std::stoi(Attr(x, "fillId"));
        const auto align = Elements(x, "alignment");
        if (!align.empty()) {
            xf.Align = Attr(align.front(), "horizontal");
            const std::string indent = Attr(align.front(), "indent");
            xf.Indent = indent.empty() ? 0 : std::stoi(indent);
        }
        xfs_.push_back(xf);
    }
}

XlsxFile::Sheet XlsxFile::ReadSheet(const std::string& name, const std::string& xml) const {
    Sheet sheet;
    sheet.Name = name;
    for (std::string_view pane : Elements(xml, "pane"))
        if (Attr(pane, "state") == "frozen") {
            const std::string x = Attr(pane, "xSplit"), y = Attr(pane, "ySplit");
            sheet.FrozenColumns = x.empty() ? 0 : std::stoi(x);
            sheet.FrozenRows = y.empty() ? 0 : std::stoi(y);
        }
    for (std::string_view p : Elements(xml, "pageSetUpPr"))
        sheet.FitToWidth = Attr(p, "fitToPage") == "1";
    for (std::string_view p : Elements(xml, "pageSetup")) {
        sheet.Landscape = Attr(p, "orientation") == "landscape";
        if (Attr(p, "fitToHeight") != "0") sheet.FitToWidth = false;
    }
    for (std::string_view c : Elements(xml, "c")) {
        const std::string_view tag = c.substr(0, c.find('>') + 1);
        Cell cell;
        cell.Type = Attr(tag, "t");
        const std::string style = Attr(tag, "s");
        cell.Style = style.empty() ? 0 : std::stoi(style);
        if (cell.Type == "inlineStr") {
            cell.Value = Texts(c);
        } else {
            const auto v = Elements(c, "v");
            if (!v.empty()) {
                const std::string_view e = v.front();
                const size_t from = e.find('>') + 1;
                cell.Value = Unescape(e.substr(from, e.rfind("</v>") - from));
            }
            if (cell.Type == "s")
                cell.Value = shared_.at(static_cast<size_t>(std::stoi(cell.Value)));
        }
        const std::string ref = Attr(tag, "r");
        int row = 0, col = 0;
        ParseRef(ref, row, col);
        sheet.Rows = std::max(sheet.Rows, row);
        sheet.Cells[ref] = cell;
    }
    return sheet;
}

const XlsxFile::Cell* XlsxFile::Sheet::At(const std::string& ref) const {
    const auto it = Cells.find(ref);
    return it == Cells.end() ? nullptr : &it->second;
}

std::string XlsxFile::Sheet::Text(const std::string& ref) const {
    const Cell* c = At(ref);
    return c ? c->Value : std::string();
}

std::string XlsxFile::NumberFormat(const Cell& cell) const {
    const int id = xfs_.at(static_cast<size_t>(cell.Style)).NumFmt;
    if (id == 0) return "General";
    const auto it = numFmts_.find(id);
    return it != numFmts_.end() ? it->second : "builtin " + std::to_string(id);
}

std::string XlsxFile::Fill(const Cell& cell) const {
    return fills_.at(static_cast<size_t>(xfs_.at(static_cast<size_t>(cell.Style)).Fill));
}

std::string XlsxFile::FontColor(const Cell& cell) const {
    return fonts_.at(static_cast<size_t>(xfs_.at(static_cast<size_t>(cell.Style)).Font)).Color;
}

std::string XlsxFile::Align(const Cell& cell) const {
    return xfs_.at(static_cast<size_t>(cell.Style)).Align;
}

int XlsxFile::Indent(const Cell& cell) const {
    return xfs_.at(static_cast<size_t>(cell.Style)).Indent;
}

bool XlsxFile::Bold(const Cell& cell) const {
    return fonts_.at(static_cast<size_t>(xfs_.at(static_cast<size_t>(cell.Style)).Font)).Bold;
}

}  // namespace tessara::test
