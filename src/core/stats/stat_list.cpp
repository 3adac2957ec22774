#include "stats/stat_list.h"

#include <unordered_set>

#include "base/ini_file.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/format.h"

namespace tessara {

std::string TStatMethod::DisplayName() const {
    const std::string name = Name();
    // A shredding method's caption carries a place for its formula.
    if (Class->Group == 12) return FormatTemplate(name, {Formula});
    return name;
}

TStatList::TStatList(const TDrawsArray& archive, TConfigData& config,
                     const TShreddingConfig& shredding)
    : archive_(&archive), config_(config), shredding_(shredding), savedWeights_(config.Coefs) {}

int TStatList::FindMethod(std::string_view code) const {
    for (int i = 0; i < Count(); ++i)
        if (SameTextIgnoreCase(Items(i).Code(), code)) return i;
    return -1;
}

std::string TStatList::ListCaption(int i, bool withFeatures) const {
    const TStatMethod& m = Items(i);
    std::string text = m.DisplayName();
    if (ShowGroupName) text = FormatTemplate("{ %1:s } %0:s", {text, std::string(StatGroupId(m.Class->Group))});
    if (withFeatures && ShowMethodFlags) {
        const std::string letters = FeatureLetters(m.Class->AllFeatures());
        if (!letters.empty()) text = FormatTemplate("%0:s [ %1:s ]", {text, letters});
    }
    return text;
}

std::unique_ptr<TCustomStat> TStatList::CreateStat(int i) const {
    const TStatMethod& m = Items(i);
    return m.Class->Create(*m.Class, *this, m.Param);
}

std::unique_ptr<TCustomStat> TStatList::CreateSelectedStat(int i, std::string_view controlName) const {
    if (i < 0 || i >= Count())
        throw Error(FormatTemplate("Не выбран метод расчета статистики (cb: %s)!",
                                 {std::string(controlName)}));
    return CreateStat(i);
}

void TStatList::Register() {
    Ordered = false;
    ShowGroupName = true;
    ShowMethodFlags = true;
    AllFavourites = true;
    methods_.clear();
    for (const TStatClass* c : RegistrationTable()) {
        if (!c->Available) continue;
        const auto add = [&](int param) {
            TStatMethod m;
            m.Class = c;
            m.Param = param;
            if (c->Group == 12 && param >= 1 && param <= 3)
                m.Formula = shredding_.Formulas[static_cast<size_t>(param - 1)];
            methods_.push_back(std::move(m));
        };
        if (c->HasParams) {
            const auto [low, high] = c->ParamRange(*this);
            for (int p = low; p <= high; ++p) add(p);
        } else {
            add(0);
        }
    }
}

void TStatList::SetAllFavourites() {
    AllFavourites = true;
    for (auto& m : methods_) m.Favourite = true;
}

void TStatList::NormalizeFavourites() {
    if (methods_.empty()) {
        AllFavourites = true;
        return;
    }
    const bool first = methods_.front().Favourite;
    bool same = true;
    for (const auto& m : methods_) same = same && m.Favourite == first;
    AllFavourites = same;
    if (same && !first) SetAllFavourites();
}

std::string TStatList::FavouritesText() const {
    if (AllFavourites) return {};
    std::string text;
    for (const auto& m : methods_)
        if (m.Favourite) {
            if (!text.empty()) text += ',';
            text += m.Code();
        }
    return text;
}

void TStatList::SetFavouritesText(std::string_view text) {
    if (Trim(text).empty()) {
        SetAllFavourites();
        return;
    }
    AllFavourites = false;
    // A set of the folded words, so that a long line costs its length and
    // not its length times the number of methods.
    std::unordered_set<std::string> words;
    size_t pos = 0;
    while (true) {
        const size_t comma = text.find(',', pos);
        words.insert(Utf8ToLower(Trim(text.substr(pos, comma == std::string_view::npos ? comma : comma - pos))));
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    for (auto& m : methods_) m.Favourite = words.count(Utf8ToLower(m.Code())) != 0;
}

bool TStatList::LoadNames(Host& host, const std::string& file, bool withOptions) {
    try {
        const IniFile ini = IniFile::Load(file);
        if (withOptions) {
            SetFavouritesText(ini.ReadString("FILTERS", "Favorites", FavouritesText()));
            Ordered = ini.ReadBool("FILTERS", "Ordered", Ordered);
            ShowGroupName = ini.ReadBool("FILTERS", "ShowGroupName", ShowGroupName);
            ShowMethodFlags = ini.ReadBool("FILTERS", "ShowMethodFlags", ShowMethodFlags);
        }
        for (auto& m : methods_)
            m.UserName = std::string(Trim(ini.ReadString(NamesSection(), m.Code(), "")));
        return true;
    } catch (const Error& e) {
        host.ShowError(MsgLoadNames + std::string(e.what()));
        return false;
    }
}

bool TStatList::SaveNames(Host& host, const std::string& file, bool withOptions, bool allNames) {
    try {
        IniFile ini = IniFile::Load(file);
        if (withOptions) {
            ini.WriteString("FILTERS", "Favorites", FavouritesText());
            ini.WriteBool("FILTERS", "Ordered", Ordered);
            ini.WriteBool("FILTERS", "ShowGroupName", ShowGroupName);
            ini.WriteBool("FILTERS", "ShowMethodFlags", ShowMethodFlags);
        }
        ini.EraseSection(NamesSection());
        for (const auto& m : methods_) {
            const std::string name = allNames ? m.Name() : m.UserName;
            if (!name.empty()) ini.WriteString(NamesSection(), m.Code(), name);
        }
        ini.Save(file);
        return true;
    } catch (const Error& e) {
        host.ShowError(MsgSaveNames + std::string(e.what()));
        return false;
    }
}

}  // namespace tessara
