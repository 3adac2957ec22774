#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessara {

// A switch is present when a parameter equals its name, letter case ignored,
// bare or after one of the prefixes "-", "--", "/" and "\".
bool IsParamSet(const std::vector<std::string>& params, std::string_view name);

struct TStartupSwitches {
    bool Restart = false;
    bool LoadOnly = false;
    bool FullRecreate = false;
    bool FullRefresh = false;
    std::string DataDir;  // empty: the folder of the executable

    // Any of the batch switches: no questions, no catalogues, no first-run dialog.
    bool Batch() const { return LoadOnly || FullRecreate || FullRefresh; }
};

// Reads the four switches and "--data-dir DIR" (or "--data-dir=DIR").
TStartupSwitches ParseStartupSwitches(const std::vector<std::string>& params);

}  // namespace tessara
