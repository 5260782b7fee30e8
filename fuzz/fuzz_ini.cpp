// Reading a satellite .ini file from arbitrary bytes and importing it into a
// loaded database. The first byte chooses the database (bit 0: the bundled
// sample or one with every table full) and whether the result is saved and
// opened again (bits 1 and 2 both set: a save costs more than an import);
// the second byte chooses the satellite (from 0xF8 on, a slot that holds
// none); the rest is the file's text.
//
// After the reader: what it returns stays within what a satellite can hold.
// After an accepted import: every invariant of the model holds, the satellite
// has exactly the file's transponders (or its placeholder), and the other
// satellites and their programs are untouched. After a refusal: nothing has
// changed.
#include "SampleData.h"

#include "base/Bits.h"
#include "editing/Consistency.h"
#include "editing/EditorFields.h"
#include "editing/Entries.h"
#include "editing/IniImport.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

using namespace dbase;

[[noreturn]] void Fail(const char* what, const std::vector<std::string>& details = {}) {
    std::fprintf(stderr, "fuzz_ini: %s\n", what);
    for (const std::string& d : details) std::fprintf(stderr, "  %s\n", d.c_str());
    std::abort();
}

void CheckFile(const IniFile& f) {
    if (f.tps.size() > static_cast<size_t>(kMaxImportTps)) Fail("more transponders than a satellite holds");
    if (f.truncated && f.tps.size() != static_cast<size_t>(kMaxImportTps)) Fail("truncated below the limit");
    if (f.satName.size() > kMaxImportName) Fail("satellite name too long");
    if (f.status.ok() && (f.satTenths < 0 || f.satTenths > 3600)) Fail("position out of range");
    if (f.satPos != DecText(static_cast<unsigned>(f.satTenths))) Fail("position text and value differ");
    for (const IniTransponder& t : f.tps)
        if (DigitsValue(t.freq, 0x3FFF) != t.freqValue || DigitsValue(t.sym, 0xFFFF) != t.symValue)
            Fail("a transponder's texts and values differ");
}

// The stored tables and counts, which a refused import must leave alone.
bool SameStored(const Database& a, const Database& b) {
    return a.SatCount == b.SatCount && a.TpCount == b.TpCount && a.ProgCount == b.ProgCount &&
           a.AudioCount == b.AudioCount && a.SatTpCounts == b.SatTpCounts && a.Sat.rec == b.Sat.rec &&
           a.Tp.rec == b.Tp.rec && a.Prog.rec == b.Prog.rec && a.Audio.rec == b.Audio.rec && a.Sat.data == b.Sat.data &&
           a.Tp.data == b.Tp.data;
}

void CheckImported(const Database& before, const Database& db, int sat, const IniFile& f) {
    if (auto problems = FindInconsistencies(db); !problems.empty()) Fail("the import broke the model", problems);
    const int expected = std::max<int>(1, static_cast<int>(f.tps.size()));
    if (db.SatTpCounts[sat] != expected) Fail("the satellite does not have the file's transponders");
    if (db.Sat.data[sat].Longitude != TenthsText(f.satTenths)) Fail("the satellite's position is not the file's");
    int kept = 0;
    for (int p = 0; p < before.ProgCount; ++p) kept += before.Prog.data[p].SatIndex != sat;
    if (db.ProgCount != kept) Fail("programs of other satellites were lost, or the satellite kept some");
    for (int s = 0; s < db.SatCount; ++s)
        if (s != sat && (db.SatTpCounts[s] != before.SatTpCounts[s] || db.Sat.rec[s] != before.Sat.rec[s]))
            Fail("another satellite changed");
    for (int t = 0; t < kTpSlots; ++t) {
        const bool other = before.Tp.data[t].Used == 1 && before.Tp.data[t].SatIndex != sat;
        if (other && db.Tp.rec[t] != before.Tp.rec[t]) Fail("a transponder of another satellite changed");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const auto sampleDb = sample::BuildSample();
    static const auto fullDb = sample::BuildFull(1);
    static auto work = NewDatabase();
    static auto reopened = NewDatabase();

    const Database& pristine = data[0] & 1 ? *fullDb : *sampleDb;
    const bool roundTrip = (data[0] & 6) == 6;
    const int sat = data[1] >= 0xF8 ? pristine.SatCount + (data[1] - 0xF8) * 3 - 1 : data[1] % pristine.SatCount;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    const IniFile file = ParseIniText(text);
    CheckFile(file);

    *work = pristine;
    const Status imported = ImportIni(*work, sat, file);
    if (!imported) {
        if (!SameStored(pristine, *work)) Fail("a refused import changed the database");
        return 0;
    }
    CheckImported(pristine, *work, sat, file);
    if (roundTrip) {
        const RoundTrip r = SaveAndReopen(*work, SaveMode::Channel, reopened.get());
        if (r.saved.ok() && !r.differences.empty()) Fail("the saved import reads back otherwise", r.differences);
    }
    return 0;
}
