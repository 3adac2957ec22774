#include "online/self_update.h"

#include <fmt/format.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "base/ini_file.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "online/checksums.h"
#include "online/http.h"
#include "online/process.h"

namespace tessara {

namespace fs = std::filesystem;

namespace {

bool IsWebAddress(const std::string& address) {
    const std::string lower = Utf8ToLower(address);
    return lower.starts_with("http://") || lower.starts_with("https://");
}

// An address is downloaded; anything else is a file path and copied.
void FetchTo(const std::string& address, const std::string& fileName,
             int64_t maxBytes = MaxBodyBytes) {
    if (IsWebAddress(address)) {
        DownloadToFile(address, fileName, maxBytes);
        return;
    }
    std::error_code ec;
    fs::copy_file(address, fileName, fs::copy_options::overwrite_existing, ec);
    if (ec) throw Error(ec.message() + ": " + address);
}

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        const std::string_view name = Trim(std::string_view(list).substr(start, end - start));
        if (!name.empty()) names.emplace_back(name);
        start = end + 1;
    }
    return names;
}

// The description names files inside the installation and the work folder;
// a name that climbs out of them, or starts at the root, is refused.
std::string CheckedRelativeName(const std::string& name) {
    const fs::path p(name);
    bool bad = name.empty() || p.is_absolute();
    for (const fs::path& part : p)
        if (part == "..") bad = true;
    if (bad) throw Error(fmt::format(fmt::runtime(MsgUnsafeUpdateName), name));
    return name;
}

// A plain file name, without any folder.
std::string CheckedFileName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        throw Error(fmt::format(fmt::runtime(MsgUnsafeUpdateName), name));
    return name;
}

bool ValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

bool IsHex64(std::string_view s) {
    return s.size() == 64 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}

// Leftovers of an earlier installation are the files renamed to "name.~N".
// Other "*.~*" files (such as the combination buffer) are the user's data.
bool IsBackupName(const std::string& name) {
    const size_t tilde = name.rfind(".~");
    if (tilde == std::string::npos || tilde == 0 || tilde + 2 >= name.size()) return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(tilde) + 2, name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// Every file the installation moves aside or creates, so that a failure
// puts the installation back as it was.
class InstallJournal {
public:
    // Moves an existing file to "name.~N" (the first free N).
    void MoveAside(const fs::path& target) {
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(target, ec))) return;
        fs::path backup;
        for (int n = 1;; ++n) {
            backup = target;
            backup += ".~" + std::to_string(n);
            if (!fs::exists(fs::symlink_status(backup, ec))) break;
        }
        fs::rename(target, backup, ec);
        if (ec) throw Error(ec.message() + ": " + target.string());
        moved_.emplace_back(target, backup);
    }
    void Created(const fs::path& path) { created_.push_back(path); }

    void Rollback() {
        std::error_code ec;
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) fs::remove(*it, ec);
        for (auto it = moved_.rbegin(); it != moved_.rend(); ++it) fs::rename(it->second, it->first, ec);
    }
    // The installation stands: the files moved aside go (a running program
    // keeps its own open image).
    void Commit() {
        std::error_code ec;
        for (const auto& m : moved_) fs::remove(m.second, ec);
    }

private:
    std::vector<std::pair<fs::path, fs::path>> moved_;
    std::vector<fs::path> created_;
};

void CopyIntoInstallation(const fs::path& workDir, const fs::path& installDir,
                          InstallJournal& journal) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(workDir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file()) files.push_back(fs::relative(it->path(), workDir));
    if (ec) throw Error(ec.message() + ": " + workDir.string());
    std::sort(files.begin(), files.end());
    for (const fs::path& rel : files) {
        const fs::path target = installDir / rel;
        const fs::path parent = target.parent_path();
        // Folders the copy makes go again on a rollback, deepest first.
        std::vector<fs::path> missing;
        for (fs::path p = parent; p != installDir && !fs::exists(p, ec); p = p.parent_path())
            missing.push_back(p);
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            fs::create_directory(*it, ec);
            if (ec) throw Error(ec.message() + ": " + it->string());
            journal.Created(*it);
        }
        journal.MoveAside(target);
        journal.Created(target);
        fs::copy_file(workDir / rel, target, fs::copy_options::overwrite_existing, ec);
        if (ec) throw Error(ec.message() + ": " + target.string());
    }
}

}  // namespace

int64_t VersionBuild(const std::string& version) {
    int word = 0;
    size_t start = 0;
    for (size_t i = 0; i <= version.size(); ++i) {
        if (i < version.size() && std::string_view(",-._").find(version[i]) == std::string::npos)
            continue;
        if (word == 3) {
            const std::string_view w = Trim(std::string_view(version).substr(start, i - start));
            int64_t value = 0;
            const auto r = std::from_chars(w.data(), w.data() + w.size(), value);
            return r.ec == std::errc() && r.ptr == w.data() + w.size() && !w.empty() ? value : 0;
        }
        ++word;
        start = i + 1;
    }
    return 0;
}

std::string UpdateDescriptionUrl(const TOnlineConfig& online) {
    if (!online.UpdateUrl.empty()) return online.UpdateUrl;
    if (online.ServerUrl.empty()) return {};
    std::string server = online.ServerUrl;
    while (!server.empty() && server.back() == '/') server.pop_back();
    return server + ServerUpdatePath;
}

TrSU_VerData ReadUpdateDescription(const IniFile& ini, const std::string& section) {
    TrSU_VerData d;
    const auto own = [&](const char* key) { return ini.ReadString(section, key, ""); };
    const auto global = [&](const char* key) { return ini.ReadString(UpdateGlobalSection, key, ""); };
    d.VerId = own("VerId");
    d.Description = own("Description");
    d.DownloadUrl = own("DownloadUrl");
    d.OriginalFileName = own("OriginalFileName");
    d.ChecksumCRC32 = own("ChecksumCRC32");
    d.GlobalDeleteAfter = global("DeleteAfter");
    d.GlobalDeleteBefore = global("DeleteBefore");
    d.GlobalExecAfter = global("ExecAfter");
    d.GlobalExecBefore = global("ExecBefore");
    d.DeleteAfter = own("DeleteAfter");
    d.DeleteBefore = own("DeleteBefore");
    d.ExecAfter = own("ExecAfter");
    d.ExecBefore = own("ExecBefore");
    d.ChecksumSHA256 = own("ChecksumSHA256");
    return d;
}

SelfUpdater::SelfUpdater(Host& host, TSelfUpdateUi& ui, TSelfUpdateOptions options)
    : host_(host), ui_(ui), options_(std::move(options)) {}

std::string SelfUpdater::InstallPath(const std::string& name) const {
    return JoinPath(options_.InstallDir, name);
}

void SelfUpdater::CheckInstallDirWritable() const {
    if (::access(options_.InstallDir.c_str(), W_OK) != 0)
        throw Error(fmt::format(fmt::runtime(MsgInstallDirReadOnly), options_.InstallDir));
}

void SelfUpdater::FetchNotes(const std::string& address) {
    std::string base;
    if (IsWebAddress(address)) {
        base = UrlDirectory(address) + "UpdDescr/";
    } else {
        const fs::path folder = fs::path(address).parent_path();
        base = (folder.empty() ? std::string(".") : folder.string()) + "/UpdDescr/";
    }
    const std::string& ver = offer_.Data.VerId;
    std::vector<std::string> names;
    if (options_.Language) {
        names.push_back(fmt::format("UpdDescr_{}_{}.txt", options_.Language->Abbreviation, ver));
        names.push_back(fmt::format("UpdDescr_{}_{}.txt", options_.Language->LocaleId, ver));
    }
    names.push_back(fmt::format("UpdDescr_{}.txt", ver));
    const std::string local = InstallPath(CheckedFileName(fmt::format("UpdDescr_{}.txt", ver)));
    offer_.Notes = MsgNoNotes;
    for (const std::string& name : names) {
        try {
            FetchTo(base + name, local);
            const std::string bytes = ReadFileBytes(local);
            offer_.Notes = ValidUtf8(bytes) ? bytes : Cp1251ToUtf8(bytes);
            std::error_code ec;
            fs::remove(local, ec);
            return;
        } catch (const std::exception&) {
            // The next name is tried.
        }
    }
    std::error_code ec;
    fs::remove(local, ec);
}

int SelfUpdater::Search(const std::string& address, bool silent) {
    offer_ = TUpdateOffer{};
    offer_.RunningVersion = options_.RunningVersion;
    const std::string inf = InstallPath(UpdateDescriptionFile);
    int result = 0;
    std::string failure;
    BusyGuard busy(host_);
    try {
        ProgressScope progress(ui_.Progress(), ProgressSearching, 5);
        try {
            // Nothing is fetched into a folder the update could not be
            // installed into anyway.
            CheckInstallDirWritable();
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(options_.InstallDir, ec))
                if (entry.is_regular_file(ec) && IsBackupName(entry.path().filename().string()))
                    fs::remove(entry.path(), ec);
            progress.Step();
            progress.Step();
            FetchTo(address, inf);
            progress.Step();
            // Descriptions are written in the code page of the program's
            // text files; one saved as UTF-8 is read as well.
            const std::string bytes = ReadFileBytes(inf);
            const IniFile ini = IniFile::Parse(ValidUtf8(bytes) ? Utf8ToCp1251(bytes) : bytes);
            offer_.Data = ReadUpdateDescription(ini, options_.ExeName);
            if (offer_.Data.VerId.empty()) offer_.Data.VerId = offer_.RunningVersion;
            progress.Step();
            offer_.Found = VersionBuild(offer_.RunningVersion) < VersionBuild(offer_.Data.VerId) &&
                           !offer_.Data.DownloadUrl.empty();
            if (offer_.Found) FetchNotes(address);
            progress.Step();
            result = offer_.Found ? 1 : 0;
        } catch (const std::exception& e) {
            failure = MsgSearchFailed + std::string(e.what());
            result = 2;
        }
    } catch (const std::exception& e) {
        // The progress window itself could not be opened.
        failure = MsgSelfUpdateFailed + std::string(e.what());
        silent = false;
        result = 2;
    }
    std::error_code ec;
    fs::remove(inf, ec);
    if (result == 2 && !silent) host_.ShowError(failure);
    if (result == 0 && !silent) host_.ShowMessage(MessageKind::Information, MsgNoUpdates);
    return result;
}

void SelfUpdater::RunAndWait(const std::string& file, const std::string& workDir) {
    MakeExecutable(file);
    const TProcessResult r = RunProcess(file, workDir, options_.RunTimeoutMs,
                                        [this] { host_.ProcessEvents(); }, options_.PollMs);
    const std::string name = fs::path(file).filename().string();
    if (r.TimedOut) throw Error(fmt::format(fmt::runtime(MsgProcessTimeout), name));
    if (r.ExitCode != 0)
        throw Error(fmt::format("Процесс (файл) \"{}\" завершился с кодом {}", name, r.ExitCode));
}

void SelfUpdater::RunList(const std::string& list, const std::string& workDir) {
    for (const std::string& name : SplitList(list)) {
        const std::string file = JoinPath(workDir, CheckedRelativeName(name));
        if (FileExists(file)) RunAndWait(file, workDir);
    }
}

void SelfUpdater::DownloadPackage(const std::string& package) {
    const TrSU_VerData& d = offer_.Data;
    for (int attempt = 1;; ++attempt) {
        try {
            std::error_code ec;
            fs::remove(package, ec);
            FetchTo(d.DownloadUrl, package, options_.MaxPackageBytes);
            if (!FileExists(package))
                throw Error(fmt::format(fmt::runtime(MsgUpdateFileNotFound), package));
            if (!d.ChecksumCRC32.empty() && !SameTextIgnoreCase(d.ChecksumCRC32, FileCrc32Hex(package)))
                throw Error(MsgBadChecksum);
            // The stronger digest, when the description gives one, must
            // match as well: a CRC is easy to forge.
            if (!d.ChecksumSHA256.empty() &&
                (!IsHex64(d.ChecksumSHA256) ||
                 !SameTextIgnoreCase(d.ChecksumSHA256, FileSha256Hex(package))))
                throw Error(MsgBadChecksum);
            return;
        } catch (const Error&) {
            if (attempt >= 3) throw;
        }
    }
}

void SelfUpdater::InstallSteps(ProgressScope& progress) {
    const TrSU_VerData& d = offer_.Data;
    const std::string workDir = InstallPath(UpdateWorkFolder);
    CheckInstallDirWritable();
    std::error_code ec;
    if (fs::exists(workDir, ec)) fs::remove_all(workDir, ec);
    fs::create_directories(workDir, ec);
    if (ec) throw Error(ec.message() + ": " + workDir);
    progress.Step();

    const std::string package =
        JoinPath(workDir, CheckedFileName(fmt::format("SelfUpdate_{}.upd", d.VerId)));
    DownloadPackage(package);
    progress.Step();

    const std::string run = JoinPath(workDir, CheckedFileName(d.OriginalFileName));
    fs::rename(package, run, ec);
    if (ec) throw Error(ec.message() + ": " + run);
    if (!FileExists(run)) throw Error(fmt::format(fmt::runtime(MsgUpdateFileNotFound), run));
    progress.Step();

    RunAndWait(run, workDir);
    progress.Step();

    for (int retry = 0;; ++retry) {
        if (fs::remove(run, ec) || !fs::exists(run)) break;
        if (retry >= options_.DeleteRetries) throw Error(ec.message() + ": " + run);
        std::this_thread::sleep_for(std::chrono::milliseconds(options_.DeleteRetryMs));
    }
    progress.Step();

    if (fs::is_empty(workDir, ec))
        throw Error(fmt::format(fmt::runtime(MsgUpdateFileNotFound), JoinPath(workDir, "*.*")));
    progress.Step();

    // From here on every file of the installation that is replaced or
    // deleted is first moved aside, so a failure can put it back.
    InstallJournal journal;
    const auto deleteList = [&](const std::string& list) {
        for (const std::string& name : SplitList(list))
            journal.MoveAside(InstallPath(CheckedRelativeName(name)));
    };
    try {
        deleteList(d.GlobalDeleteBefore);
        deleteList(d.DeleteBefore);
        progress.Step();
        RunList(d.GlobalExecBefore, workDir);
        RunList(d.ExecBefore, workDir);
        progress.Step();
        CopyIntoInstallation(workDir, options_.InstallDir, journal);
        progress.Step();
        RunList(d.GlobalExecAfter, workDir);
        RunList(d.ExecAfter, workDir);
        progress.Step();
        deleteList(d.GlobalDeleteAfter);
        deleteList(d.DeleteAfter);
        progress.Step();
    } catch (...) {
        journal.Rollback();
        throw;
    }
    journal.Commit();
    while (progress.Window().Position() < progress.Window().Steps()) progress.Step();
}

int SelfUpdater::Install() {
    int result = 1;
    std::string failure;
    {
        BusyGuard busy(host_);
        try {
            ProgressScope progress(ui_.Progress(),
                                   fmt::format(fmt::runtime(ProgressInstalling), offer_.Data.VerId),
                                   14);
            try {
                InstallSteps(progress);
            } catch (const std::exception& e) {
                failure = MsgInstallFailed + std::string(e.what());
                result = 2;
            }
        } catch (const std::exception& e) {
            failure = MsgSelfUpdateFailed + std::string(e.what());
            result = 2;
        }
        std::error_code ec;
        fs::remove_all(InstallPath(UpdateWorkFolder), ec);
    }
    if (result == 1)
        host_.ShowMessage(MessageKind::Information,
                          fmt::format(fmt::runtime(MsgUpdateInstalled), offer_.Data.Description));
    else
        host_.ShowError(failure);
    return result;
}

int SelfUpdater::SelfUpdate(const std::string& address, bool silent) {
    const int found = Search(address, silent);
    if (found != 1) return found;
    try {
        if (!ui_.OfferUpdate(offer_.RunningVersion, offer_.Data.VerId, offer_.Notes)) return 0;
    } catch (const std::exception& e) {
        host_.ShowError(MsgSelfUpdateFailed + std::string(e.what()));
        return 2;
    }
    return Install();
}

int SelfUpdate(const TOnlineConfig& online, bool silent, Host& host, TSelfUpdateUi& ui,
               const TSelfUpdateOptions& options) {
    const std::string address = UpdateDescriptionUrl(online);
    if (address.empty()) {
        if (!silent) host.ShowError(MsgNoUpdateUrl);
        return 2;
    }
    SelfUpdater updater(host, ui, options);
    return updater.SelfUpdate(address, silent);
}

}  // namespace tessara
