#include "SampleData.h"
#include "base/Collation.h"
#include "editing/Reorder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

using namespace dbase;

// glibc keeps the search path it builds from LOCPATH in newlocale() and never
// frees it; the leak checker of sanitizer builds is told to let that be. The
// function is named __argz_add_sep with debug symbols or llvm-symbolizer, and
// argz_add_sep from the dynamic symbol table alone: the pattern matches both.
extern "C" const char* __lsan_default_suppressions() { return "leak:argz_add_sep\n"; }

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The collation of locale `name`, built from the system's locale sources into
// a temporary folder when it is not installed; nothing when neither works.
std::optional<NameCollator> LoadLocale(const std::string& name, const char* source, const char* charmap) {
    NameCollator installed(name);
    if (installed.Available()) return installed;
    if (std::system("command -v localedef >/dev/null 2>&1") != 0) return std::nullopt;
    std::string dir = (std::filesystem::temp_directory_path() / "orbitlist-locale-XXXXXX").string();
    if (!mkdtemp(dir.data())) return std::nullopt;
    const std::string cmd =
        std::string("localedef -i ") + source + " -f " + charmap + " '" + dir + "/" + name + "' >/dev/null 2>&1";
    std::optional<NameCollator> result;
    if (std::system(cmd.c_str()) == 0) {
        ScopedEnv path("LOCPATH", dir.c_str());
        NameCollator built(name);
        if (built.Available()) result = built;
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}

// Names as ISO 8859-1 bytes.
const std::string kEAcute = "\xE9";
const std::string kCapitalEAcute = "\xC9";
const std::string kAUmlaut = "\xC4";

} // namespace

TEST(Collation, SortableNameDropsLeadingBlanksAndControls) {
    EXPECT_EQ(SortableName(" \t\x01\xA0Name  "), "Name  ");
    EXPECT_EQ(SortableName("\x7F\x85X"), "X");
    EXPECT_EQ(SortableName("   "), "");
    EXPECT_EQ(SortableName(kEAcute + "t" + kEAcute), kEAcute + "t" + kEAcute);
}

TEST(Collation, TheCLocaleComparesBytes) {
    NameCollator c("C");
    ASSERT_TRUE(c.Available());
    EXPECT_LT(c.Compare("ABC", "abc"), 0);
    EXPECT_LT(c.Compare("Zoe", "apple"), 0);
    EXPECT_LT(c.Compare("Zoe", kCapitalEAcute + "dith"), 0); // 0xC9 lies above every ASCII byte
    EXPECT_EQ(c.Compare("  ARD", "ARD"), 0);
    EXPECT_LT(c.Key("ABC"), c.Key("abc"));
    EXPECT_LT(c.Key("Zoe"), c.Key(kEAcute));
}

TEST(Collation, AMissingLocaleFallsBackToByteOrder) {
    NameCollator c("xx_NOWHERE.UTF-8");
    EXPECT_FALSE(c.Available());
    EXPECT_EQ(c.LocaleName(), "C");
    EXPECT_LT(c.Compare("B", "a"), 0);
}

TEST(Collation, TheEnvironmentNamesTheLocale) {
    ScopedEnv all("LC_ALL", nullptr), collate("LC_COLLATE", nullptr), lang("LANG", nullptr);
    EXPECT_EQ(NameCollator::FromEnvironment().LocaleName(), "C");
    {
        ScopedEnv l("LANG", "xx_NOWHERE");
        EXPECT_EQ(NameCollator::FromEnvironment().LocaleName(), "C");
    }
    {
        ScopedEnv l("LANG", "xx_NOWHERE"), c("LC_COLLATE", "C.UTF-8");
        const NameCollator fromEnv = NameCollator::FromEnvironment();
        if (fromEnv.Available()) {
            EXPECT_EQ(fromEnv.LocaleName(), "C.UTF-8");
        }
        ScopedEnv a("LC_ALL", "POSIX");
        EXPECT_EQ(NameCollator::FromEnvironment().LocaleName(), "POSIX");
    }
    {
        ScopedEnv a("LC_ALL", ""), c("LC_COLLATE", "POSIX");
        EXPECT_EQ(NameCollator::FromEnvironment().LocaleName(), "POSIX"); // an empty LC_ALL is ignored
    }
}

TEST(Collation, TheNameSortUsesTheEnvironmentsCollation) {
    ScopedEnv all("LC_ALL", "C");
    auto db = NewDatabase();
    const int sat = sample::AddSat(*db, {"Sat", 192});
    const int tp = sample::AddTp(*db, sat, 11000, false, 27500, 3);
    for (const char* name : {"beta", "Alpha", "alpha", "Beta"}) sample::AddProg(*db, tp, {name});
    SortPrograms(*db, ProgKind::Tv, SortKey::Name);
    EXPECT_EQ(db->Prog.data[0].Name, "Alpha");
    EXPECT_EQ(db->Prog.data[1].Name, "Beta");
    EXPECT_EQ(db->Prog.data[2].Name, "alpha");
    EXPECT_EQ(db->Prog.data[3].Name, "beta");
}

TEST(Collation, UTF8LocalesSeeTheNamesConverted) {
    NameCollator c("C.UTF-8");
    if (!c.Available()) GTEST_SKIP() << "C.UTF-8 is not installed";
    EXPECT_EQ(c.Codeset(), "UTF-8");
    EXPECT_LT(c.Compare("z", kEAcute), 0);
    EXPECT_LT(c.Compare(kCapitalEAcute, kEAcute), 0);
    EXPECT_LT(c.Key("z"), c.Key(kEAcute));
}

TEST(Collation, ALanguageLocaleOrdersAccentsAndCase) {
    const auto c = LoadLocale("en_US.UTF-8", "en_US", "UTF-8");
    if (!c) GTEST_SKIP() << "en_US.UTF-8 is neither installed nor buildable here";
    // An accented letter sorts beside its base letter, not after z as bytes would have it.
    EXPECT_LT(c->Compare("ebc", kEAcute + "bc"), 0);
    EXPECT_LT(c->Compare(kEAcute + "bc", "fbc"), 0);
    EXPECT_LT(c->Key(kEAcute + "bc"), c->Key("fbc"));
    // Case is not folded: the two spellings differ, letters first by their base.
    EXPECT_NE(c->Compare("abc", "ABC"), 0);
    EXPECT_LT(c->Compare("ABC", "abd"), 0);
    EXPECT_LT(c->Compare("abc", "ABD"), 0);
}

TEST(Collation, ALatin1LocaleTakesTheBytesAsTheyAre) {
    const auto c = LoadLocale("de_DE.ISO-8859-1", "de_DE", "ISO-8859-1");
    if (!c) GTEST_SKIP() << "de_DE.ISO-8859-1 is neither installed nor buildable here";
    EXPECT_EQ(c->Codeset(), "ISO-8859-1");
    EXPECT_LT(c->Compare("Apfel", kAUmlaut + "rger"), 0);
    EXPECT_LT(c->Compare(kAUmlaut + "rger", "Birne"), 0);
}
