// Hand-built databases for the editing tests, and a check that the tables
// stay consistent after an operation.
#pragma once

#include "SampleData.h"
#include "editing/Consistency.h"
#include "format/Image.h"
#include "model/Model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testdb {

// A database with no satellites whose free slots hold the empty records.
inline std::unique_ptr<dbase::Database> Empty() { return sample::EmptyDatabase(); }

// The lists a window fills from the core's queries, kept by a test.
struct Views {
    std::vector<int> SatList, TpList, TvList, RadioList;
    void ListAllTps(const dbase::Database& db) { TpList = dbase::AllTps(db); }
    void ListSatTps(const dbase::Database& db, int sat) { TpList = dbase::SatTps(db, sat); }
    void ClearProgLists() { TvList.clear(), RadioList.clear(); }
    void ListAllProgs(const dbase::Database& db) { Set(dbase::AllProgs(db)); }
    void ListTpProgs(const dbase::Database& db, int tp) { Set(dbase::TpProgs(db, tp)); }
    void ListSatProgs(const dbase::Database& db, int sat) { Set(dbase::SatProgs(db, sat)); }
    void ListFavProgs(const dbase::Database& db, int group) { Set(dbase::FavProgs(db, group)); }
    void Set(dbase::ProgLists lists) {
        TvList = std::move(lists.tv);
        RadioList = std::move(lists.radio);
    }
};

inline std::unique_ptr<dbase::Database> Copy(const dbase::Database& db) {
    return std::make_unique<dbase::Database>(db);
}

inline sample::ProgSpec Prog(const std::string& name, bool radio = false, int pid = 100) {
    sample::ProgSpec p;
    p.name = name;
    p.radio = radio;
    p.vid = radio ? 0 : pid;
    p.aud = pid + 1;
    p.pcr = pid;
    p.pmt = pid + 2;
    p.sid = pid + 3;
    return p;
}

// The core's findings one a line, for a failure message.
inline std::string Findings(const std::vector<std::string>& problems) {
    std::string s;
    for (const auto& p : problems) s += p + "\n";
    return s;
}

// Expects the core's invariant checks (FindInconsistencies) to pass `db`,
// and names every broken invariant when they do not.
inline void ExpectConsistent(const dbase::Database& db, const dbase::ConsistencyOptions& options = {}) {
    const auto problems = dbase::FindInconsistencies(db, options);
    EXPECT_TRUE(problems.empty()) << Findings(problems);
}

} // namespace testdb
