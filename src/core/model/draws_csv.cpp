#include "model/draws_csv.h"

#include <cstring>

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
    for (const std::string& line : SplitLines(text)) {
        if (Trim(line).empty()) continue;
        const auto fields = SplitDrawCsvFields(line);
        if (fields.size() != 9 && fields.size() != 8) continue;
        TDrawRecord draw{};
        size_t f = 0;
        if (fields.size() == 9)
            draw.DrawNo = StrToIntDef(fields[f++], 0);
        else
            draw.DrawNo = archive.Count() + 1;
        const std::string& date = fields[f++];
        draw.DrawDateLen = static_cast<uint8_t>(std::min<size_t>(date.size(), 16));
        std::memcpy(draw.DrawDate, date.data(), draw.DrawDateLen);
        bool inRange = true;
        for (int i = 0; i < BallsInDraw; ++i) {
            draw.Numbers[i] = static_cast<uint8_t>(StrToIntDef(fields[f++], 0) & 0xFF);
            inRange = inRange && draw.Numbers[i] >= 1 && draw.Numbers[i] <= MaxNumber;
        }
        draw.ExtraBall = static_cast<uint8_t>(StrToIntDef(fields[f], 0) & 0xFF);
        if (draw.DrawNo <= 0 || archive.FindDrawIndex(draw.DrawNo) >= 0) continue;
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
