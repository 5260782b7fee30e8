// Locale-aware ordering of the names stored in the database. Names are ISO
// 8859-1 bytes; they are converted to the collating locale's character set
// and compared with that locale's rules, case-sensitively.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace dbase {

class NameCollator {
public:
    // The collation of the process environment: the locale named by LC_ALL,
    // else LC_COLLATE, else LANG (the first one set and not empty). The C
    // locale's byte order when none is set or the named locale is not
    // installed.
    static NameCollator FromEnvironment();

    // The collation of locale `name` ("C", "C.UTF-8", "de_DE.ISO-8859-1", ...);
    // byte order when the locale is not installed (see Available()).
    explicit NameCollator(const std::string& name);

    // True when the locale asked for could be loaded.
    bool Available() const { return available_; }
    // The name of the locale in use ("C" when falling back).
    const std::string& LocaleName() const { return name_; }
    // The character set names are converted to before comparing.
    const std::string& Codeset() const { return codeset_; }

    // A key for `latin1Name` such that keys compare (as byte strings) the way
    // the names collate. Leading blanks and control characters are dropped
    // first (see SortableName).
    std::string Key(std::string_view latin1Name) const;
    // Negative, zero or positive as `a` collates before, with or after `b`.
    int Compare(std::string_view a, std::string_view b) const;

private:
    std::string Convert(std::string_view latin1) const;

    struct Handle;
    std::shared_ptr<Handle> handle_;
    std::string name_;
    std::string codeset_;
    bool available_ = false;
};

// `latin1Name` without its leading blanks (space, no-break space) and control
// characters (C0, DEL and C1).
std::string_view SortableName(std::string_view latin1Name);

} // namespace dbase
