// Finding programs from arbitrary bytes: the text of the filter field with
// the conditions of its popup, or the words of an `orbitlist-cli find`
// command line. The first byte chooses: bit 0 the database (the bundled
// sample or one with every table full), bit 1 the command line.
//
// The filter: the text is any bytes (UTF-8 or not), the next three bytes give
// the conditions. What it finds lies in the programs in use in ascending slot
// order, each found program matches, a further condition never finds more,
// and ASCII letters find the same in either case.
//
// The command line: words separated by newlines, after "find FILE". Every
// run ends with 0, 1 or 2; a success prints slot lines in ascending order, or
// one JSON array, or nothing.
#include "SampleData.h"
#include "cli/Commands.h"
#include "cli/Common.h"

#include "editing/Find.h"
#include "format/DataFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_find: %s\n", what);
    std::abort();
}

void CheckFound(const dbase::Database& db, const dbase::ProgFilter& f, const std::vector<int>& found) {
    const dbase::ProgMatcher m(db, f);
    for (size_t i = 0; i < found.size(); ++i) {
        const int p = found[i];
        if (p < 0 || p >= db.ProgCount || db.Prog.data[p].Used != 1) Fail("found a slot that is no program in use");
        if (i > 0 && found[i - 1] >= p) Fail("found slots not in ascending order");
        if (!m.Matches(p)) Fail("found a program the matcher refuses");
    }
}

bool Includes(const std::vector<int>& all, const std::vector<int>& part) {
    return std::includes(all.begin(), all.end(), part.begin(), part.end());
}

void FuzzFilter(const dbase::Database& db, const uint8_t* data, size_t size) {
    if (size < 3) return;
    const uint8_t which = data[0];
    const int value = data[1] | (data[2] << 8);
    dbase::ProgFilter f;
    f.text.assign(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::vector<int> byText = dbase::FindPrograms(db, f);
    CheckFound(db, f, byText);
    if (!dbase::CheckFilterText(f.text) && !byText.empty()) Fail("a text that is not UTF-8 found programs");

    // The conditions, each narrowing what the text found.
    if (which & 1) f.radio = (which & 2) != 0;
    if (which & 4) f.scrambled = (value & 1) != 0;
    if (which & 8) f.locked = (value & 2) != 0;
    if (which & 16) f.skipped = (value & 4) != 0;
    if (which & 32) f.favGroup = (value >> 3) & 15;
    if (which & 64) f.serviceId = value;
    if (which & 128) f.pid = value & 0x1FFF;
    if (value & 0x8000) f.sat = (value >> 8) & 63;
    const std::vector<int> narrowed = dbase::FindPrograms(db, f);
    CheckFound(db, f, narrowed);
    if (!Includes(byText, narrowed)) Fail("a condition found more than the text alone");

    // ASCII letters in the other case find the same.
    dbase::ProgFilter swapped = f;
    for (char& c : swapped.text)
        if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') c ^= 0x20;
    if (dbase::FindPrograms(db, swapped) != narrowed) Fail("the case of ASCII letters changed what was found");
}

// The data file find reads, written once.
const std::string& FilePath(bool full) {
    static const std::string dir = [] {
        char pattern[] = "/tmp/fuzz_find-XXXXXX";
        if (!::mkdtemp(pattern)) Fail("no temporary folder");
        return std::string(pattern);
    }();
    static std::string paths[2];
    std::string& path = paths[full ? 1 : 0];
    if (path.empty()) {
        path = dir + (full ? "/full.bin" : "/sample.bin");
        const auto db = full ? sample::BuildFull(1) : sample::BuildSample();
        std::vector<uint8_t> bytes;
        if (!dbase::BuildSaveBytes(*db, dbase::SaveMode::Channel, bytes) || !dbase::WriteFileAtomic(path, bytes))
            Fail("the data file was not written");
    }
    return path;
}

void FuzzCommandLine(bool full, const uint8_t* data, size_t size) {
    cli::Args args = {"find", FilePath(full)};
    std::string word;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            args.push_back(word);
            word.clear();
        } else {
            word.push_back(static_cast<char>(data[i]));
        }
    }
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    if (code < 0 || code > 2) Fail("an exit status other than 0, 1 or 2");
    const std::string text = out.str();
    if (code != 0 || text.empty()) return;
    if (text.front() == '[') {
        if (text.back() != '\n' || text[text.size() - 2] != ']') Fail("a JSON answer that is not one array");
        return;
    }
    if (text.front() == 'u') return; // the command's help
    std::istringstream lines(text);
    long last = -1;
    for (std::string line; std::getline(lines, line);) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0) Fail("a line without SLOT<TAB>NAME");
        const long slot = std::strtol(line.substr(0, tab).c_str(), nullptr, 10);
        if (slot <= last) Fail("slot lines not in ascending order");
        last = slot;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 512) return 0;
    static const auto sampleDb = sample::BuildSample();
    static const auto fullDb = sample::BuildFull(1);
    const bool full = (data[0] & 1) != 0;
    if (data[0] & 2)
        FuzzCommandLine(full, data + 1, size - 1);
    else
        FuzzFilter(full ? *fullDb : *sampleDb, data + 1, size - 1);
    return 0;
}
