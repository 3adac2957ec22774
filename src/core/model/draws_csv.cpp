#include "model/draws_csv.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "model/encoding.h"
#include "model/files.h"
#include "model/game.h"

namespace tessara {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::vector<std::string> SplitDrawCsvFields(std::string_view line) {
    std::vector<std::string> fields;
    size_t p = 0;
    const size_t n = line.size();
    while (p < n && IsBlank(line[p])) ++p;
    while (p < n) {
        std::string field;
        if (line[p] == '"') {
            ++p;
            while (p < n) {
                if (line[p] == '"') {
                    if (p + 1 < n && line[p + 1] == '"') {
                        field += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field += line[p++];
            }
        } else {
            const size_t start = p;
            while (p < n && !IsBlank(line[p]) && line[p] != ';') ++p;
            field.assign(line.substr(start, p - start));
        }
        fields.push_back(std::move(field));
        while (p < n && IsBlank(line[p])) ++p;
        if (p < n && line[p] == ';') {
            if (p + 1 == n) fields.emplace_back();
            do {
                ++p;
            } while (p < n && IsBlank(line[p]));
        }
    }
    return fields;
}

std::string FormatDrawCsvLine(const TDrawRecord& draw) {
    std::string line = std::to_string(draw.DrawNo);
    line += ";\"";
    const size_t len = std::min<size_t>(draw.DrawDateLen, sizeof draw.DrawDate);
    for (size_t i = 0; i < len; ++i) {
        if (draw.DrawDate[i] == '"') line += '"';
        line += draw.DrawDate[i];
    }
    line += '"';
    for (uint8_t x : draw.Numbers) line += ";" + std::to_string(x);
    line += ";" + std::to_string(draw.ExtraBall);
    return line;
}

std::string ExportDrawsCsvText(const TDrawsArray& draws) {
    std::string text;
    text.reserve(draws.size() * 48);
    for (const auto& d : draws) {
        text += FormatDrawCsvLine(d);
        text += "\r\n";
    }
    return text;
}

TDrawsImportResult ImportDrawsCsvText(TDrawArchive& archive, std::string_view text) {
    TDrawsImportResult result;
    bool utf8 = false;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
        utf8 = true;
    } else {
        // Windows-1251 letters almost never form valid UTF-8 sequences.
        const bool ascii = std::all_of(text.begin(), text.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        utf8 = !ascii && IsValidUtf8(text);
    }
    // A field that is not a number reads as 0; digits past 32 bits are out
    // of every range rather than 0.
    const auto number = [](const std::string& field) -> int64_t {
        int32_t v = 0;
        if (TryStrToInt(field, v)) return v;
        std::string_view t = Trim(field);
        if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
        const bool digits = !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
        return digits ? std::numeric_limits<int64_t>::max() : 0;
    };
    for (const std::string& line : SplitLines(text)) {
        if (Trim(line).empty()) continue;
        const auto fields = SplitDrawCsvFields(line);
        if (fields.size() != 9 && fields.size() != 8) {
            ++result.Ignored;
            continue;
        }
        TDrawRecord draw{};
        bool inRange = true;
        size_t f = 0;
        const int64_t drawNo = fields.size() == 9 ? number(fields[f++]) : archive.Count() + 1;
        const std::string date = utf8 ? Utf8ToCp1251(fields[f]) : fields[f];
        ++f;
        inRange = drawNo <= MaxDrawNo;
        draw.DrawNo = drawNo > 0 && drawNo <= MaxDrawNo ? static_cast<int32_t>(drawNo) : 0;
        draw.DrawDateLen = static_cast<uint8_t>(std::min<size_t>(date.size(), 16));
        std::memcpy(draw.DrawDate, date.data(), draw.DrawDateLen);
        // Each value is checked whole before it is narrowed to its byte.
        for (int i = 0; i < BallsInDraw; ++i) {
            const int64_t v = number(fields[f++]);
            inRange = inRange && v >= 1 && v <= MaxNumber && !DrawHasNumber(static_cast<uint8_t>(v), draw);
            draw.Numbers[i] = static_cast<uint8_t>(inRange ? v : 0);
        }
        const int64_t extra = number(fields[f]);
        inRange = inRange && extra >= 0 && extra <= MaxExtraBall;
        draw.ExtraBall = static_cast<uint8_t>(inRange ? extra : 0);
        if (draw.DrawNo <= 0) {
            ++result.Ignored;
            continue;
        }
        if (archive.FindDrawIndex(draw.DrawNo) >= 0) {
            ++result.Existing;
            continue;
        }
        if (!inRange) {
            ++result.Rejected;
            continue;
        }
        archive.Append(draw);
        ++result.Added;
    }
    return result;
}

}  // namespace tessara
