#include "base/config.h"

#include <cmath>
#include <fmt/format.h>

#include "model/encoding.h"
#include "model/error.h"
#include "model/format.h"
#include "model/game.h"

namespace tessara {

namespace {

// Keys are read against the field's current value: absent or empty keeps
// it, a value that does not read is an error.
std::string Raw(const IniFile& ini, const char* section, const std::string& key) {
    return ini.ReadString(section, key, "");
}

[[noreturn]] void BadValue(const char* section, const std::string& key, const std::string& value) {
    throw Error(fmt::format("Некорректное значение {}={} в разделе [{}]", key, value, section));
}

void ReadInt(const IniFile& ini, const char* section, const std::string& key, int32_t& field) {
    const std::string v = Raw(ini, section, key);
    if (v.empty()) return;
    int32_t x;
    if (!TryStrToInt(v, x)) BadValue(section, key, v);
    field = x;
}

void ReadBool(const IniFile& ini, const char* section, const std::string& key, bool& field) {
    int32_t x = field ? 1 : 0;
    ReadInt(ini, section, key, x);
    field = x != 0;
}

void ReadFloat(const IniFile& ini, const char* section, const std::string& key, double& field) {
    const std::string v = Raw(ini, section, key);
    if (v.empty()) return;
    double x;
    if (!TryParseFloat(v, x)) BadValue(section, key, v);
    field = x;
}

void ReadMoney(const IniFile& ini, const char* section, const std::string& key, TMoney& field) {
    const std::string v = Raw(ini, section, key);
    if (v.empty()) return;
    double x;
    if (!TryParseFloat(v, x) || std::fabs(x) > MaxMoneyAmount) BadValue(section, key, v);
    field = MoneyFromAmount(x);
}

}  // namespace

std::string TConfigData::SegmentsText() const {
    std::string s;
    for (uint8_t v : MatrixSegments) s += std::to_string(v);
    return s;
}

std::array<uint8_t, MaxNumber> ParseSegmentsText(const std::string& text) {
    auto s = TConfigData::DefaultSegments();
    for (size_t i = 0; i < s.size() && i < text.size(); ++i)
        if (text[i] >= '0' && text[i] <= '9') s[i] = static_cast<uint8_t>(text[i] - '0');
    return s;
}

TChangedFamilies ChangedFamilies(const TConfigData& before, const TConfigData& after) {
    return {before.MatrixCols != after.MatrixCols, before.ChannelSize != after.ChannelSize,
            before.SegmentsText() != after.SegmentsText()};
}

void ReadGenerateDefaults(const IniFile& ini, TCombsGenerateParams& gen) {
    int32_t mode = gen.Mode;
    ReadInt(ini, "GLOBAL", "CombsGenerateMode", mode);
    gen.Mode = static_cast<uint8_t>(mode);
    if (ini.HasKey("GLOBAL", "CombsGenerateParameters"))
        gen.Parameters = Utf8Left(ini.ReadString("GLOBAL", "CombsGenerateParameters", ""), 255);
}

void ReadConfigSections(const IniFile& ini, TConfigData& c) {
    ReadInt(ini, "GLOBAL", "MatrixCols", c.MatrixCols);
    if (ini.HasKey("GLOBAL", "MatrixSegments"))
        c.MatrixSegments = ParseSegmentsText(ini.ReadString("GLOBAL", "MatrixSegments", ""));
    ReadInt(ini, "GLOBAL", "ChannelSize", c.ChannelSize);
    ReadMoney(ini, "STAKES", "Cost", c.Cost);
    ReadInt(ini, "STAKES", "MaxStake", c.MaxStake);
    int32_t profits = static_cast<int32_t>(c.Profits.size());
    ReadInt(ini, "STAKES", "Profits", profits);
    if (profits < 0 || profits > 256) BadValue("STAKES", "Profits", std::to_string(profits));
    c.Profits.resize(static_cast<size_t>(profits));
    for (int i = 0; i < profits; ++i) {
        int32_t overlap = c.Profits[i].Overlap;
        ReadInt(ini, "STAKES", fmt::format("Profit_{}_Overlap", i), overlap);
        c.Profits[i].Overlap = static_cast<uint8_t>(overlap);
        ReadMoney(ini, "STAKES", fmt::format("Profit_{}_Profit", i), c.Profits[i].Profit);
    }
    ReadFloat(ini, "CDL", "Count", c.Coefs.Count);
    ReadFloat(ini, "CDL", "Deviation", c.Coefs.Deviation);
    ReadFloat(ini, "CDL", "Level", c.Coefs.Level);
    ReadBool(ini, "CDL", "UsePercents", c.Coefs.UsePercents);
    ReadBool(ini, "CDL", "UseAbsValues", c.Coefs.UseAbsValues);
}

void ReadShreddingSection(const IniFile& ini, TShreddingConfig& s) {
    for (int i = 0; i < 3; ++i) {
        const std::string key = fmt::format("Formula{}", i + 1);
        if (ini.HasKey("SHREDDING", key)) s.Formulas[i] = ini.ReadString("SHREDDING", key, "");
        ReadInt(ini, "SHREDDING", key + "Digits", s.Digits[i]);
    }
}

void ReadProxySection(const IniFile& ini, TProxy& p) {
    if (ini.HasKey("PROXY", "ProxyServer")) p.Server = ini.ReadString("PROXY", "ProxyServer", "");
    ReadInt(ini, "PROXY", "ProxyPort", p.Port);
    if (ini.HasKey("PROXY", "ProxyUsername"))
        p.Username = ini.ReadString("PROXY", "ProxyUsername", "");
    if (ini.HasKey("PROXY", "ProxyPassword"))
        p.Password = ini.ReadString("PROXY", "ProxyPassword", "");
    int32_t mode = p.Server.empty() ? 0 : 2;
    ReadInt(ini, "PROXY", "ProxyMode", mode);
    p.Mode = static_cast<uint8_t>(mode);
    p.Saved = true;
}

void ReadOnlineSection(const IniFile& ini, TOnlineConfig& o) {
    o.DrawsSite = ini.ReadString("ONLINE", "DrawsSite", "");
    o.ProxyListUrl = ini.ReadString("ONLINE", "ProxyListUrl", "");
    o.ServerUrl = ini.ReadString("ONLINE", "ServerUrl", "");
    o.UserName = ini.ReadString("ONLINE", "UserName", "");
    o.UserMail = ini.ReadString("ONLINE", "UserMail", "");
    o.InstallId = ini.ReadString("ONLINE", "InstallId", "");
    o.UpdateUrl = ini.ReadString("ONLINE", "UpdateUrl", "");
}

void WriteOnlineSection(IniFile& ini, const TOnlineConfig& o) {
    ini.WriteString("ONLINE", "DrawsSite", o.DrawsSite);
    ini.WriteString("ONLINE", "ProxyListUrl", o.ProxyListUrl);
    ini.WriteString("ONLINE", "ServerUrl", o.ServerUrl);
    ini.WriteString("ONLINE", "UserName", o.UserName);
    ini.WriteString("ONLINE", "UserMail", o.UserMail);
    ini.WriteString("ONLINE", "InstallId", o.InstallId);
    ini.WriteString("ONLINE", "UpdateUrl", o.UpdateUrl);
}

void WriteConfigSections(IniFile& ini, const TConfigData& c) {
    ini.WriteInteger("GLOBAL", "MatrixCols", c.MatrixCols);
    ini.WriteString("GLOBAL", "MatrixSegments", c.SegmentsText());
    ini.WriteInteger("GLOBAL", "ChannelSize", c.ChannelSize);
    ini.WriteString("STAKES", "Cost", FormatMoneyValue(c.Cost));
    ini.WriteInteger("STAKES", "MaxStake", c.MaxStake);
    ini.WriteInteger("STAKES", "Profits", static_cast<int32_t>(c.Profits.size()));
    for (size_t i = 0; i < c.Profits.size(); ++i) {
        ini.WriteInteger("STAKES", fmt::format("Profit_{}_Overlap", i), c.Profits[i].Overlap);
        ini.WriteString("STAKES", fmt::format("Profit_{}_Profit", i),
                        FormatMoneyValue(c.Profits[i].Profit));
    }
    ini.WriteFloat("CDL", "Count", c.Coefs.Count);
    ini.WriteFloat("CDL", "Deviation", c.Coefs.Deviation);
    ini.WriteFloat("CDL", "Level", c.Coefs.Level);
    ini.WriteBool("CDL", "UsePercents", c.Coefs.UsePercents);
    ini.WriteBool("CDL", "UseAbsValues", c.Coefs.UseAbsValues);
}

void WriteShreddingSection(IniFile& ini, const TShreddingConfig& s) {
    for (int i = 0; i < 3; ++i) {
        const std::string key = fmt::format("Formula{}", i + 1);
        ini.WriteString("SHREDDING", key, s.Formulas[i]);
        ini.WriteInteger("SHREDDING", key + "Digits", s.Digits[i]);
    }
}

void WriteGenerateDefaults(IniFile& ini, const TCombsGenerateParams& gen) {
    ini.WriteInteger("GLOBAL", "CombsGenerateMode", gen.Mode);
    ini.WriteString("GLOBAL", "CombsGenerateParameters", gen.Parameters);
}

void WriteProxySection(IniFile& ini, const TProxy& p) {
    ini.WriteInteger("PROXY", "ProxyMode", p.Mode);
    ini.WriteString("PROXY", "ProxyServer", p.Server);
    ini.WriteInteger("PROXY", "ProxyPort", p.Port);
    ini.WriteString("PROXY", "ProxyUsername", p.Username);
    ini.WriteString("PROXY", "ProxyPassword", p.Password);
}

std::string FormatMoneyValue(TMoney value) {
    return FormatFloat(static_cast<double>(value) / MoneyScale);
}

TMoney MoneyFromAmount(double amount) { return std::llround(amount * MoneyScale); }

std::string FormatMoney(TMoney value) {
    return FormatFixed(static_cast<double>(value) / MoneyScale, 2);
}

}  // namespace tessara
