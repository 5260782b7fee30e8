// Running a batch script from arbitrary bytes on a loaded database. The first
// byte chooses the database (bit 0: the bundled sample or one with every
// table full); the rest is the script.
//
// Whatever the script, the run ends with 0, 1 or 2; the data keeps every
// invariant of the model; and undoing every step that remains gives back the
// database as it was opened, in both record forms.
#include "SampleData.h"
#include "cli/Batch.h"

#include "editing/Consistency.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

[[noreturn]] void Fail(const char* what, const std::vector<std::string>& details = {}) {
    std::fprintf(stderr, "fuzz_batch: %s\n", what);
    for (const std::string& d : details) std::fprintf(stderr, "  %s\n", d.c_str());
    std::abort();
}

bool SameData(const dbase::Database& a, const dbase::Database& b) {
    return a.Sat.rec == b.Sat.rec && a.Sat.data == b.Sat.data && a.Tp.rec == b.Tp.rec && a.Tp.data == b.Tp.data &&
           a.Prog.rec == b.Prog.rec && a.Prog.data == b.Prog.data && a.Audio.rec == b.Audio.rec &&
           a.Audio.data == b.Audio.data && a.SatCount == b.SatCount && a.TpCount == b.TpCount &&
           a.ProgCount == b.ProgCount && a.AudioCount == b.AudioCount && a.SatTpCounts == b.SatTpCounts &&
           a.FavNameBlock == b.FavNameBlock && a.FavNames == b.FavNames && a.FavLocks == b.FavLocks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 4096) return 0;
    static const auto sampleDb = sample::BuildSample();
    static const auto fullDb = sample::BuildFull(1);
    const dbase::Database& start = (data[0] & 1) ? *fullDb : *sampleDb;
    dbase::Document doc(std::make_unique<dbase::Database>(start));
    std::ostringstream err;
    const std::string_view script(reinterpret_cast<const char*>(data + 1), size - 1);
    const int code = cli::RunScript(doc, script, err);
    if (code < 0 || code > 2) Fail("an exit status other than 0, 1 or 2");
    if (code != 0 && err.str().rfind("line ", 0) != 0) Fail("a failure without its line number");
    if (auto problems = dbase::FindInconsistencies(doc.Db()); !problems.empty())
        Fail("the script broke an invariant", problems);
    while (doc.Undo()) {
    }
    if (!SameData(doc.Db(), start)) Fail("undoing every step did not give back the opened database");
    return 0;
}
