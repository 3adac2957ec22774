#include "model/format.h"

#include <fmt/format.h>

#include <cmath>

namespace tessara {

namespace {
char g_decimalSeparator = '.';
}

char DecimalSeparator() { return g_decimalSeparator; }
void SetDecimalSeparator(char separator) { g_decimalSeparator = separator; }

void SetDecimalSeparatorFromLocale(std::string_view point) {
    const bool ascii = point.size() == 1 && static_cast<unsigned char>(point[0]) < 0x80 &&
                       point[0] > ' ';
    g_decimalSeparator = point.empty() ? '.' : ascii ? point[0] : ',';
}

std::string FormatFixed(double value, int decimals) {
    std::string s = fmt::format("{:.{}f}", value, decimals);
    if (g_decimalSeparator != '.')
        for (char& c : s)
            if (c == '.') c = g_decimalSeparator;
    return s;
}

int64_t RoundHalfEven(double value) { return static_cast<int64_t>(std::nearbyint(value)); }

std::string FormatTemplate(std::string_view t, const std::vector<TFormatArg>& args) {
    std::string out;
    size_t next = 0;  // the argument after the last one used
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '%') {
            out += t[i];
            continue;
        }
        if (i + 1 < t.size() && t[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        size_t j = i + 1;
        // Optional index followed by ':'.
        size_t k = j;
        while (k < t.size() && t[k] >= '0' && t[k] <= '9') ++k;
        size_t index = next;
        if (k < t.size() && t[k] == ':' && k > j) {
            index = std::stoul(std::string(t.substr(j, k - j)));
            j = k + 1;
        }
        bool left = false;
        if (j < t.size() && t[j] == '-') {
            left = true;
            ++j;
        }
        int width = -1, precision = -1;
        k = j;
        while (k < t.size() && t[k] >= '0' && t[k] <= '9') ++k;
        if (k > j) width = std::stoi(std::string(t.substr(j, k - j)));
        j = k;
        if (j < t.size() && t[j] == '.') {
            k = ++j;
            while (k < t.size() && t[k] >= '0' && t[k] <= '9') ++k;
            precision = k > j ? std::stoi(std::string(t.substr(j, k - j))) : 0;
            j = k;
        }
        if (j >= t.size()) {
            out += t.substr(i);
            break;
        }
        const char type = static_cast<char>(t[j] | 0x20);
        std::string piece;
        const TFormatArg* arg = index < args.size() ? &args[index] : nullptr;
        switch (type) {
            case 'd':
            case 'u':
            case 'x':
                if (arg && std::holds_alternative<int64_t>(*arg)) {
                    const int64_t v = std::get<int64_t>(*arg);
                    std::string digits = type == 'x' ? fmt::format("{:X}", v < 0 ? -v : v)
                                                     : std::to_string(v < 0 ? -v : v);
                    if (precision > 0 && static_cast<int>(digits.size()) < precision)
                        digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
                    piece = (v < 0 ? "-" : "") + digits;
                }
                break;
            case 'f':
            case 'n':
            case 'g':
            case 'e':
                if (arg) {
                    const double v = std::holds_alternative<double>(*arg)
                                         ? std::get<double>(*arg)
                                         : std::holds_alternative<int64_t>(*arg)
                                               ? static_cast<double>(std::get<int64_t>(*arg))
                                               : 0.0;
                    piece = FormatFixed(v, precision < 0 ? 2 : precision);
                }
                break;
            case 's':
                if (arg && std::holds_alternative<std::string>(*arg)) {
                    piece = std::get<std::string>(*arg);
                    if (precision >= 0 && piece.size() > static_cast<size_t>(precision))
                        piece.resize(static_cast<size_t>(precision));
                }
                break;
            default:
                out += t.substr(i, j - i + 1);
                i = j;
                continue;
        }
        if (width > 0 && static_cast<int>(piece.size()) < width) {
            const std::string pad(static_cast<size_t>(width) - piece.size(), ' ');
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
        next = index + 1;
        i = j;
    }
    return out;
}

}  // namespace tessara
