#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "model/format.h"

int main(int argc, char** argv) {
    // Numbers with decimals take the user's separator; everything else keeps
    // the C rules, so the locale is put back at once.
    if (std::setlocale(LC_NUMERIC, "")) {
        const std::lconv* lc = std::localeconv();
        tessara::SetDecimalSeparatorFromLocale(lc && lc->decimal_point ? lc->decimal_point : ".");
        std::setlocale(LC_NUMERIC, "C");
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    return tessara::cli::RunCli(args, std::cout, std::cerr);
}
