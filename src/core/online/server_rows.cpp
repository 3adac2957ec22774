#include "online/server_rows.h"

#include <charconv>

#include "model/error.h"
#include "online/base64.h"
#include "online/markers.h"

namespace tessara {

std::string EscapeText(std::string_view text) {
    static constexpr const char* Controls[] = {"\\0", "\\1", "\\2", "\\3", "\\4", "\\5", "\\6",
                                               "\\a", "\\b", "\\t", "\\n", "\\v", "\\f", "\\r"};
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 13)
            out += Controls[u];
        else if (u == 27)
            out += "\\e";
        else if (c == '"' || c == '\'' || c == '?' || c == '\\') {
            out += '\\';
            out += c;
        } else
            out += c;
    }
    return out;
}

std::string UnescapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) break;
        const char e = text[i];
        switch (e) {
            case 'a': out += '\a'; break;
            case 'b': out += '\b'; break;
            case 't': out += '\t'; break;
            case 'n': out += '\n'; break;
            case 'v': out += '\v'; break;
            case 'f': out += '\f'; break;
            case 'r': out += '\r'; break;
            case 'e': out += '\x1b'; break;
            default:
                if (e >= '0' && e <= '6')
                    out += char(e - '0');
                else
                    out += e;
        }
    }
    return out;
}

namespace {

void AppendPlain(std::string& out, std::string_view value) {
    for (const char c : value) {
        if (c == '<')
            out += "\u2039";
        else if (c == '>')
            out += "\u203A";
        else
            out += c;
    }
}

}  // namespace

std::vector<std::string> ReadServerRows(std::string_view answer) {
    std::vector<std::string> rows;
    const size_t start = FindMarker(answer, "<result>", 0);
    if (start == std::string_view::npos) return rows;
    const size_t from = start + 8;
    size_t end = FindMarker(answer, "</result>", from);
    if (end == std::string_view::npos) end = answer.size();
    const std::string_view region = answer.substr(from, end - from);
    size_t pos = 0;
    for (;;) {
        const size_t b = FindMarker(region, "<row>", pos);
        if (b == std::string_view::npos) break;
        const size_t e = FindMarker(region, "</row>", b + 5);
        if (e == std::string_view::npos) break;  // a cut row is no row
        rows.emplace_back(region.substr(b + 5, e - b - 5));
        pos = e + 6;
    }
    return rows;
}

std::string RowElement(std::string_view row, std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    return ExtractBetween(row, open, close, TMarkerMode::Empty);
}

void CheckServerRows(const std::vector<std::string>& rows) {
    for (const std::string& row : rows) {
        const std::string error = RowElement(row, "error");
        if (!error.empty()) throw Error(error);
    }
}

bool ParseInt32(std::string_view text, int32_t& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && p == text.data() + text.size();
}

int32_t RowIntStrict(std::string_view row, std::string_view name) {
    const std::string text = RowElement(row, name);
    int32_t v = 0;
    if (!ParseInt32(text, v))
        throw Error("Неверное числовое значение \"" + text + "\" элемента <" + std::string(name) +
                    ">");
    return v;
}

int32_t RowIntLenient(std::string_view row, std::string_view name) {
    int32_t v = 0;
    return ParseInt32(RowElement(row, name), v) ? v : 0;
}

TServerRowsWriter& TServerRowsWriter::Row() {
    if (rowOpen_) body_ += "</row>";
    body_ += "<row>";
    rowOpen_ = true;
    return *this;
}

TServerRowsWriter& TServerRowsWriter::Field(std::string_view name, std::string_view value) {
    if (!rowOpen_) Row();
    body_ += '<';
    body_ += name;
    body_ += '>';
    AppendPlain(body_, value);
    body_ += "</";
    body_ += name;
    body_ += '>';
    return *this;
}

TServerRowsWriter& TServerRowsWriter::Field(std::string_view name, int64_t value) {
    return Field(name, std::string_view(std::to_string(value)));
}

TServerRowsWriter& TServerRowsWriter::Base64Field(std::string_view name, std::string_view value) {
    return Field(name, std::string_view(Base64Encode(value)));
}

std::string TServerRowsWriter::Text() const {
    return "<result>" + body_ + (rowOpen_ ? "</row>" : "") + "</result>";
}

std::string ServerErrorAnswer(std::string_view message) {
    return TServerRowsWriter().Row().Field("error", message).Text();
}

}  // namespace tessara
