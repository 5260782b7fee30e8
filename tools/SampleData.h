// Builders for the project's own sample databases: the bundled sample file and
// full-capacity databases for tests and benchmarks. Each entry is written as
// stored bytes and then decoded, so both forms agree.
#pragma once

#include "model/Model.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sample {

struct SatSpec {
    std::string name;
    int tenths; // orbital position, tenths of a degree east (west: 3600 - x)
    int low = 9750, high = 10600;
    int type = 1; // 0 Single, 1 Universal, 2 OneCable
    int tone = 0, diseqc10 = 0, power = 1, diseqc11 = 0;
};

struct ProgSpec {
    std::string name;
    bool radio = false;
    int vid = 0, aud = 0, pcr = 0, pmt = 0, sid = 0, pvt = 8191;
    bool scrambled = false;
    std::array<uint8_t, 4> ca{};
    uint16_t fav = 0;
    bool lock = false, skip = false;
};

// Appends a satellite; returns its slot.
int AddSat(dbase::Database& db, const SatSpec& s);
// Puts a transponder of satellite `sat` into the lowest free slot; returns the slot.
int AddTp(dbase::Database& db, int sat, int freq, bool vertical, int sym, int fec);
// Appends a program on transponder `tp`; returns its slot.
int AddProg(dbase::Database& db, int tp, const ProgSpec& p);
// Appends an extra audio track of program `prog` and selects track `select` of it (0 keeps the selection).
int AddAudio(dbase::Database& db, int prog, int pid, const std::string& lang);
// Names favourite group g (0..15).
void NameFav(dbase::Database& db, int g, const std::string& name);

// A database with no satellites whose free slots hold the empty records, as
// a receiver's file holds them.
std::unique_ptr<dbase::Database> EmptyDatabase();

// The sample that ships with the project.
std::unique_ptr<dbase::Database> BuildSample();
// The sample saved as a data file of the given kind, as Save writes it.
const std::vector<uint8_t>& SampleFile(bool is256K);

// A database with every table at its capacity: 64 satellites, 2,200
// transponders, 3,000 programs and 1,000 extra audio tracks.
std::unique_ptr<dbase::Database> BuildFull(uint32_t seed = 1);

} // namespace sample
