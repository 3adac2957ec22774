#include "app/switches.h"

#include "model/encoding.h"

namespace tessara {

bool IsParamSet(const std::vector<std::string>& params, std::string_view name) {
    for (const std::string& p : params) {
        std::string_view s = p;
        if (s.starts_with("--"))
            s.remove_prefix(2);
        else if (s.starts_with("-") || s.starts_with("/") || s.starts_with("\\"))
            s.remove_prefix(1);
        if (SameTextIgnoreCase(s, name)) return true;
    }
    return false;
}

TStartupSwitches ParseStartupSwitches(const std::vector<std::string>& params) {
    TStartupSwitches s;
    s.Restart = IsParamSet(params, "restart");
    s.LoadOnly = IsParamSet(params, "loadonly");
    s.FullRecreate = IsParamSet(params, "fullrecreate");
    s.FullRefresh = IsParamSet(params, "fullrefresh");
    for (size_t i = 0; i < params.size(); ++i) {
        if (params[i] == "--data-dir" && i + 1 < params.size())
            s.DataDir = params[i + 1];
        else if (params[i].starts_with("--data-dir="))
            s.DataDir = params[i].substr(11);
    }
    return s;
}

}  // namespace tessara
