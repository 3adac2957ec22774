// The combination list of the workspace: generation, the undo copy, the
// buffer file, list files, the clipboard text, deletions and queries.
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fmt/format.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "app/workspace.h"
#include "stats/parallel_filter.h"
#include "model/error.h"
#include "model/files.h"
#include "model/format.h"

namespace tessara {

namespace {

constexpr const char* kWait = MsgPleaseWait;

// Shows "text ( завершено N % )..." about a hundred times over a pass.
class Progress {
public:
    Progress(Host& host, std::string prefix, int64_t total)
        : host_(host), prefix_(std::move(prefix)), total_(total), step_(std::max<int64_t>(total / 100, 1)) {}
    void At(int64_t i) {
        if (i % step_ == 0 && total_ > 0) Show(i);
    }
    // The same for a pass that reports where it is now and then: shown
    // whenever another hundredth of the work is done.
    void Reached(int64_t i) {
        if (i < next_ || total_ <= 0) return;
        Show(i);
        next_ = i - i % step_ + step_;
    }

private:
    void Show(int64_t i) {
        host_.ShowStatus(prefix_ + FormatTemplate(" ( завершено %.0f %% )...",
                                                {static_cast<double>(i + 1) * 100.0 / total_}));
    }

    Host& host_;
    std::string prefix_;
    int64_t total_;
    int64_t step_;
    int64_t next_ = 0;
};

// The prefix of the progress texts of the copy and the paste.
std::string WaitPrefix() {
    std::string s = kWait;
    while (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

bool InRanges(const TRowRanges& rows, size_t& cursor, int64_t r) {
    while (cursor < rows.size() && rows[cursor].second < r) ++cursor;
    return cursor < rows.size() && rows[cursor].first <= r;
}

}  // namespace

std::string Workspace::CombsStatusText() const {
    return fmt::format("Комбинаций: {}", combs_.Count());
}

void Workspace::AddFilterLogEntry(bool removes, const std::string& caption, const std::string& value,
                                  int64_t count) {
    filterLog_.push_back({caption, value, count < 0 ? combs_.Count() : count,
                          removes ? TLogIcon::Exclude : TLogIcon::Include});
    host_.Notify(Change::List);
}

void Workspace::AddUndoLogEntry(int64_t count) {
    filterLog_.push_back({"Отмена последней операции", "", count < 0 ? combs_.Count() : count, TLogIcon::Undo});
    host_.Notify(Change::List);
}

void Workspace::RemoveLastLogEntry() {
    if (!filterLog_.empty()) filterLog_.pop_back();
    host_.Notify(Change::List);
}

void Workspace::ClearFilterLog() {
    filterLog_.clear();
    host_.Notify(Change::List);
}

bool Workspace::GenerateCombs(bool interactive, const TCombsGenerateParams& params) {
    std::unique_ptr<BusyGuard> busy;
    if (interactive) busy = std::make_unique<BusyGuard>(host_, "Генерация возможных комбинаций...");
    combs_.SetCount(0);
    bool ok = true;
    try {
        if (params.Mode == gmFromFile) {
            // The error is shown there; the generation has failed.
            ok = LoadCombsList(params.Parameters);
        } else {
            const TNumberSet mine = params.Mode >= 1 && params.Mode <= 3
                                        ? ParseMyNumbers(params.Parameters)
                                        : TNumberSet{};
            GenerateCombinations(combs_, params.Mode, mine);
        }
    } catch (const std::bad_alloc&) {
        host_.ShowError("Ошибка генерации файла комбинаций!\r\rНедостаточно памяти");
        ok = false;
    } catch (const Error& e) {
        host_.ShowError(std::string("Ошибка генерации файла комбинаций!\r\r") + e.what());
        ok = false;
    }
    if (interactive && ok) {
        filterLog_.clear();
        undo_.Reserve(combs_.Count(), 0);
    }
    host_.Notify(Change::List);
    return ok;
}

void Workspace::MakeUndoCopy(bool showStatus) {
    std::unique_ptr<BusyGuard> busy;
    if (showStatus) busy = std::make_unique<BusyGuard>(host_, "Создание файла отката...");
    try {
        undo_.CopyFrom(combs_);
    } catch (const std::bad_alloc&) {
        undo_.Clear();
        throw Error("Недостаточно памяти для копии списка комбинаций");
    }
    host_.Notify(Change::List);
}

void Workspace::RestoreUndoCopy(bool showStatus) {
    std::unique_ptr<BusyGuard> busy;
    if (showStatus) busy = std::make_unique<BusyGuard>(host_, "Отмена изменений...");
    try {
        combs_.CopyFrom(undo_);
    } catch (const std::bad_alloc&) {
        combs_.Clear();
        throw Error("Недостаточно памяти для списка комбинаций");
    }
    undo_.SetCount(0);
    host_.Notify(Change::List);
}

bool Workspace::SaveCombsBuffer(int offset, int draws) {
    if (bufferOffset_ == offset && bufferDraws_ == draws) return true;
    const std::string prefix = "Создание буфера комбинаций";
    host_.ShowStatus(prefix + "...");
    bool ok = true;
    try {
        const std::string path = CombsBufferFile();
        const std::string temp = path + ".tmp~";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) throw Error(ErrnoText(errno));
        Progress progress(host_, prefix, combs_.Count());
        const int64_t count = combs_.Count();
        const int64_t step = std::max<int64_t>(count / 100, 1);
        for (int64_t i = 0; i < count; i += step) {
            const int64_t n = std::min(step, count - i);
            const char* p = reinterpret_cast<const char*>(combs_.Data() + i);
            size_t left = static_cast<size_t>(n) * sizeof(TCombination);
            while (left > 0) {
                const ssize_t w = ::write(fd, p, left);
                if (w < 0 && errno == EINTR) continue;
                if (w < 0) {
                    const int err = errno;
                    ::close(fd);
                    ::unlink(temp.c_str());
                    throw Error(ErrnoText(err));
                }
                p += w;
                left -= static_cast<size_t>(w);
            }
            progress.At(i);
        }
        if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
            const int err = errno;
            ::unlink(temp.c_str());
            throw Error(ErrnoText(err));
        }
        bufferOffset_ = offset;
        bufferDraws_ = draws;
    } catch (const Error& e) {
        // A failed write leaves no key, so the incomplete file is never read.
        ResetCombsBufferKey();
        host_.ShowError(std::string("Ошибка создания буфера комбинаций!\r\r") + e.what());
        ok = false;
    }
    host_.ShowStatus(std::string());
    return ok;
}

bool Workspace::LoadCombsBuffer(int offset, int draws) {
    if (bufferOffset_ != offset || bufferDraws_ != draws || !FileExists(CombsBufferFile()))
        return false;
    const std::string prefix = "Загрузка буфера комбинаций";
    host_.ShowStatus(prefix + "...");
    bool ok = true;
    try {
        const std::string bytes = ReadFileBytes(CombsBufferFile());
        const int64_t count = static_cast<int64_t>(bytes.size() / sizeof(TCombination));
        combs_.Reserve(count, count);
        Progress progress(host_, prefix, count);
        const int64_t step = std::max<int64_t>(count / 100, 1);
        for (int64_t i = 0; i < count; i += step) {
            const int64_t n = std::min(step, count - i);
            std::memcpy(combs_.Data() + i, bytes.data() + i * sizeof(TCombination),
                        static_cast<size_t>(n) * sizeof(TCombination));
            progress.At(i);
        }
    } catch (const std::exception& e) {
        host_.ShowError(std::string("Ошибка загрузки буфера комбинаций!\r\r") + e.what());
        ok = false;
    }
    host_.Notify(Change::List);
    host_.ShowStatus(std::string());
    return ok;
}

void Workspace::DeleteCombsBuffer() {
    ResetCombsBufferKey();
    std::error_code ec;
    std::filesystem::remove(CombsBufferFile(), ec);
}

bool Workspace::LoadCombsList(const std::string& file) {
    combs_.SetCount(0);
    try {
        const std::string text = ReadFileBytes(file);
        Progress progress(host_, fmt::format("Загрузка файла \"{}\"", file), static_cast<int64_t>(text.size()));
        AppendCombsListText(combs_, text, [&](size_t read) { progress.Reached(static_cast<int64_t>(read)); });
        return true;
    } catch (const Error& e) {
        host_.ShowError(fmt::format("Ошибка чтения файла \"{}\"!\r\r{}", file, e.what()));
        return false;
    }
}

bool Workspace::SaveCombsList(const std::string& file) {
    try {
        // Formatted in hundredths, so that the window shows how far it is.
        // Room for the longest lines, so that the text is never moved.
        std::string text;
        text.reserve(static_cast<size_t>(combs_.Count()) * 25);
        const int64_t count = combs_.Count(), step = std::max<int64_t>(count / 100, 1);
        Progress progress(host_, fmt::format("Сохранение файла \"{}\"", file), count);
        for (int64_t i = 0; i < count; i += step) {
            progress.At(i);
            AppendCombsListText(text, combs_.Data() + i, std::min(step, count - i));
        }
        WriteFileAtomic(file, text);
        return true;
    } catch (const Error& e) {
        host_.ShowError(fmt::format("Ошибка записи в файл \"{}\"!\r\r{}", file, e.what()));
        return false;
    }
}

bool Workspace::OpenCombsList(const std::string& file) {
    try {
        MakeUndoCopy(true);
        BusyGuard busy(host_, fmt::format("Загрузка файла \"{}\"...", file));
        const bool ok = LoadCombsList(file);
        if (!ok) RestoreUndoCopy(true);
        DropUndo();
        ClearFilterLog();
        host_.Notify(Change::List);
        return ok;
    } catch (const Error& e) {
        host_.ShowError(e.what());
        return false;
    }
}

bool Workspace::SaveCombsListAs(const std::string& file) {
    BusyGuard busy(host_, fmt::format("Сохранение файла \"{}\"...", file));
    return SaveCombsList(file);
}

bool Workspace::UndoLastOperation() {
    if (UndoCount() == 0) return false;
    try {
        RestoreUndoCopy(true);
    } catch (const Error& e) {
        host_.ShowError(e.what());
        return false;
    }
    RemoveLastLogEntry();
    return true;
}

std::string Workspace::CombsClipboardText(const TRowRanges& rows) const {
    int64_t total = 0;
    for (const auto& [first, last] : rows)
        total += std::max<int64_t>(std::min<int64_t>(last + 1, combs_.Count()) - std::max<int64_t>(first, 0), 0);
    // Room for the longest lines, so that the text is never moved.
    std::string text;
    text.reserve(static_cast<size_t>(total) * 25);
    Progress progress(host_, WaitPrefix(), total);
    const int64_t step = std::max<int64_t>(total / 100, 1);
    int64_t done = 0;
    for (const auto& [first, last] : rows) {
        const int64_t b = std::max<int64_t>(first, 0), e = std::min<int64_t>(last + 1, combs_.Count());
        for (int64_t i = b; i < e; i += step) {
            const int64_t n = std::min(step, e - i);
            progress.Reached(done);
            AppendClipboardText(text, combs_.Data() + i, n);
            done += n;
        }
    }
    return text;
}

bool Workspace::PasteCombs(std::string_view text) {
    BusyGuard busy(host_, kWait);
    const int64_t count = CountTextLines(text);
    if (count == 0) return false;
    bool ok = true;
    try {
        MakeUndoCopy(false);
        combs_.Reserve(count, count);
        try {
            int64_t i = 0;
            Progress progress(host_, WaitPrefix(), count);
            ForEachTextLine(text, [&](std::string_view line) {
                progress.Reached(i);
                combs_[i++] = ParseCombination(line);
            });
            ClearFilterLog();
        } catch (const Error& e) {
            host_.ShowError(e.what());
            RestoreUndoCopy(true);
            ok = false;
        }
    } catch (const Error& e) {
        host_.ShowError(e.what());
        ok = false;
    }
    DropUndo();
    host_.Notify(Change::List);
    return ok;
}

std::vector<uint64_t> Workspace::LastDrawMasks(int n) const {
    int first = 0, last = -1;
    if (n > 0) {
        last = archive_.High() - drawsOffset_;
        first = std::max(last - n + 1, 0);
    }
    // A combination equals a draw when both hold the same set of numbers:
    // compare number masks, the draws' sorted for a binary search.
    std::vector<uint64_t> drawn;
    const TDrawsArray& draws = archive_.Draws();
    for (int d = first; d <= last; ++d) {
        uint64_t m = 0;
        for (uint8_t x : draws[static_cast<size_t>(d)].Numbers) m |= uint64_t{1} << (x & 63);
        drawn.push_back(m);
    }
    std::sort(drawn.begin(), drawn.end());
    return drawn;
}

void Workspace::RemoveLastDraws(int n) {
    BusyGuard busy(host_, RemovingDrawsStatus(n));
    combs_.Reserve(undo_.Capacity(), 0);
    combs_.SetCount(RemoveDrawnCombs(undo_.Data(), undo_.Count(), combs_.Data(), LastDrawMasks(n), false));
    AddFilterLogEntry(true, LastDrawsCaption, std::to_string(n));
}

std::string Workspace::RemovingDrawsStatus(int n) {
    return fmt::format("Удаление из списка комбинаций {} последних тиражей...", n);
}

bool Workspace::ExcludeLastDraws(int n) {
    try {
        MakeUndoCopy(true);
    } catch (const Error& e) {
        host_.ShowError(e.what());
        return false;
    }
    RemoveLastDraws(n);
    return true;
}

void Workspace::RemoveSelectedCombs(const TRowRanges& rows) {
    BusyGuard busy(host_, "Удаление выделенных комбинаций...");
    combs_.Reserve(undo_.Capacity(), 0);
    int64_t kept = 0;
    size_t cursor = 0;
    TCombination* out = combs_.Data();
    for (int64_t r = 0; r < undo_.Count(); ++r)
        if (!InRanges(rows, cursor, r)) out[kept++] = undo_[r];
    combs_.SetCount(kept);
    AddFilterLogEntry(true, "Выделенные комбинации", std::to_string(undo_.Count() - kept));
}

bool Workspace::DeleteSelectedCombs(const TRowRanges& rows) {
    try {
        MakeUndoCopy(true);
    } catch (const Error& e) {
        host_.ShowError(e.what());
        return false;
    }
    RemoveSelectedCombs(rows);
    return true;
}

bool Workspace::CombsContains(const TCombination& comb) const {
    for (int64_t i = 0; i < combs_.Count(); ++i)
        if (combs_[i] == comb) return true;
    return false;
}

std::vector<std::string> Workspace::FindCombInDraws(const TCombination& comb) const {
    std::vector<std::string> lines;
    for (int i = archive_.High(); i >= 0 && lines.size() <= 25; --i)
        if (CountMatches(archive_[i].Numbers, comb.n) == 6) lines.push_back(FormatDrawInfo(archive_[i]));
    return lines;
}

void Workspace::ShowCombInDraws(const TCombination& comb) {
    std::vector<std::string> lines;
    {
        BusyGuard busy(host_, "Поиск по архиву тиражей...");
        lines = FindCombInDraws(comb);
    }
    if (lines.empty()) {
        host_.ShowMessage(MessageKind::Information, "Выделенная комбинация не найдена архиве тиражей!");
        return;
    }
    std::string text = "Выделенная комбинация найдена в следующих тиражах:\r";
    for (const auto& l : lines) text += "\r" + l;
    host_.ShowMessage(MessageKind::Information, text);
}

int Workspace::ShowDistinctNumbers() {
    int count;
    {
        BusyGuard busy(host_, kWait);
        count = CountDistinctNumbers(combs_.Data(), combs_.Count());
    }
    host_.ShowMessage(MessageKind::Information,
                      fmt::format("В текущем списке комбинаций содержится {} уникальных номеров", count));
    return count;
}

}  // namespace tessara
