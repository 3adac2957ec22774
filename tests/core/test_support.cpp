#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "model/game.h"

namespace tessara::test {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tessara-test-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

TDrawRecord MakeDraw(int drawNo, std::initializer_list<int> numbers, int extra,
                     const std::string& date) {
    TDrawRecord d{};
    d.DrawNo = drawNo;
    int i = 0;
    for (int n : numbers) d.Numbers[i++] = static_cast<uint8_t>(n);
    d.ExtraBall = static_cast<uint8_t>(extra);
    SetDrawDateText(d, date);
    return d;
}

TDrawsArray MakeDraws(int first, int last) {
    TDrawsArray draws;
    for (int no = first; no <= last; ++no) {
        TDrawRecord d{};
        d.DrawNo = no;
        for (int k = 0; k < BallsInDraw; ++k)
            d.Numbers[k] = static_cast<uint8_t>((no * 7 + k * 5) % MaxNumber + 1);
        d.ExtraBall = static_cast<uint8_t>(no % 10);
        draws.push_back(d);
    }
    return draws;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace tessara::test
