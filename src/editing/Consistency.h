// The invariants every editing operation keeps, as checks that name what is
// wrong: counts against the Used flags, transponder numbering, packed
// programs and audio tracks, links that name entries in use, the two forms of
// every record in step, and a database that survives a save and a reopen.
// The tests and the fuzz targets run them after every operation; a file
// written by the receiver need not satisfy them (the reader takes its counts
// as they stand).
#pragma once

#include "format/DataFile.h"
#include "model/Model.h"

#include <string>
#include <vector>

namespace dbase {

struct ConsistencyOptions {
    // Free transponder and audio slots must hold the empty records, as every
    // slot the system frees does. Files from elsewhere may hold other bytes.
    bool emptyFreeSlots = true;
    // The checks stop after this many problems.
    size_t maxProblems = 20;
};

// Returns the broken invariants of `db`, one sentence each; empty when the
// model is consistent:
//  - SatCount is at most 64; TpCount equals the transponder slots in use;
//    each transponder in use names a satellite below SatCount, and a free
//    slot holds a free record in both forms;
//  - each satellite has 1 to 150 transponders, its SatTpCounts entry says how
//    many, and their numbers (TpNo) are 1 .. n, each once;
//  - program slots below ProgCount (at most 3,000) are in use, name a
//    transponder in use, repeat its satellite, and no transponder carries
//    more than 120;
//  - audio slots below AudioCount (at most 1,000) are in use and name a
//    program below ProgCount;
//  - every record in use decodes to its decoded record. The decoded texts an
//    editor keeps as typed until the next load compare by value: a high LNB
//    frequency ("05750"), a longitude ("19.20"), an imported polarisation
//    letter ("h", "W"); so does the track count a new program shows (1, stored
//    as 4).
std::vector<std::string> FindInconsistencies(const Database& db, const ConsistencyOptions& options = {});

// Names the fields in which decoded record `kept` and `decoded` (the
// decoding of its stored bytes) differ, with both values: `Name "Other"
// where the bytes give "Bergblick", Lock 1 where the bytes give 0`. Empty
// when every field agrees.
std::string DecodedDifferences(const SatData& kept, const SatData& decoded);
std::string DecodedDifferences(const TpData& kept, const TpData& decoded);
std::string DecodedDifferences(const ProgData& kept, const ProgData& decoded);
std::string DecodedDifferences(const AudioData& kept, const AudioData& decoded);

// What saving a database and opening the saved bytes again gave.
struct RoundTrip {
    // The save itself: refused when the image does not fit a container. A
    // refused save leaves the model as it was, so nothing is lost.
    Status saved;
    // The stored records and counts that differ between the model and the
    // reopened file (empty when the save was refused).
    std::vector<std::string> differences;
};

// Saves `db` in memory in form `mode`, opens the bytes again, and compares
// every stored record, count, favourite name and lock with the model. The
// file is opened into `scratch` when one is given (saving the allocation of a
// database in loops), else into a database of its own.
RoundTrip SaveAndReopen(const Database& db, SaveMode mode, Database* scratch = nullptr);

} // namespace dbase
