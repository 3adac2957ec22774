#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "sqlite_db.h"

namespace tessara::server {

// The fields of one form request, as the HTTP layer decoded them.
using TFormFields = std::multimap<std::string, std::string>;

// The scenario and systems catalogues over one SQLite database. Every
// request takes the form fields and gives the answer text in the row format;
// a refused request gives an "<error>" row, never an exception.
//
// Who may change what: the protocol names users only by e-mail, so each
// scenario and system is bound to the e-mail and the installation identifier
// that published it; a replace or delete must come from both.
class TCatalogue {
public:
    // Opens or creates the database (WAL journal); throws Error.
    explicit TCatalogue(const std::string& dbPath);

    std::string ScriptList(const TFormFields& f);
    std::string ScriptData(const TFormFields& f);
    std::string PutScript(const TFormFields& f);
    std::string CheckTitle(const TFormFields& f);
    std::string SetRate(const TFormFields& f);
    std::string ScriptRates(const TFormFields& f);

    std::string SystemList(const TFormFields& f);
    std::string SystemData(const TFormFields& f);
    std::string PutSystem(const TFormFields& f);

    // Seconds since 1970 (UTC); tests move the clock.
    void SetClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }

private:
    template <class Fn>
    std::string Answer(Fn&& fn);
    int64_t Now() const { return clock_(); }

    std::mutex mutex_;  // one connection, one request at a time
    TSqliteDb db_;
    std::function<int64_t()> clock_;
};

// The name a known application identifier stands for; unknown ones show as
// they were sent.
std::string ApplicationName(const std::string& appId);

// "yyyy-mm-dd hh:mm:ss" of a UTC time; empty for 0.
std::string FormatUtc(int64_t seconds);

}  // namespace tessara::server
