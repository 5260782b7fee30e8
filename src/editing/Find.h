// Finding programs: the conditions of the window's filter field and of the
// command-line find, and the test of a program against them.
//
// Names are ISO 8859-1 bytes and the typed text is UTF-8; both are compared
// after Unicode simple case folding, so "e" finds "É" and "K" (Kelvin sign)
// finds "k". A text of digits alone also finds a program whose service id or
// one of whose PIDs equals its number.
#pragma once

#include "base/Status.h"
#include "model/Model.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// The conditions a program must meet; a condition not given lets every
// program pass.
struct ProgFilter {
    std::string text;              // UTF-8; empty: any name
    std::optional<bool> radio;     // the kind
    std::optional<bool> scrambled; // true: scrambled only, false: free only
    std::optional<bool> locked, skipped;
    int favGroup = -1; // 0..15: members of that group
    std::optional<int> serviceId;
    // The video, audio, PCR or PMT PID, or the PID of an extra audio track
    // (the private PID does not count).
    std::optional<int> pid;
    int sat = -1, tp = -1; // the program's satellite or transponder slot

    // True when no condition is given: every program passes.
    bool Empty() const;
    bool operator==(const ProgFilter&) const = default;
};

// `latin1` folded for comparison without case: one byte per character,
// where 0xB5 stands for both the micro sign and the Greek small letter mu.
std::string FoldLatin1(std::string_view latin1);

// `utf8` folded as FoldLatin1 folds names, or nothing when it holds a
// character that folds to nothing an ISO 8859-1 name can hold (the text can
// then match no name) or is not UTF-8.
std::optional<std::string> FoldUtf8(std::string_view utf8);

// Ok, or the refusal of a text that is not UTF-8.
Status CheckFilterText(std::string_view utf8);

// The number a text of decimal digits alone stands for (blanks around it
// allowed), or nothing for any other text and for numbers above 65535.
std::optional<int> TextNumber(std::string_view text);

// A filter made ready for many programs of one database.
class ProgMatcher {
public:
    ProgMatcher(const Database& db, const ProgFilter& filter);

    // Whether program `slot` meets every condition. Slots outside the
    // program table meet none.
    bool Matches(int slot) const;
    // The slots of `slots` that match, in their order.
    std::vector<int> Select(std::span<const int> slots) const;

private:
    bool NameMatches(const std::string& name) const;
    bool NumberMatches(int slot, int number, const std::vector<bool>& trackHits) const;

    const Database& db_;
    ProgFilter filter_;
    bool anyName_ = true; // no text: every name passes
    std::optional<std::string> needle_;
    std::optional<int> textNumber_;
    std::vector<bool> textTrackHits_, pidTrackHits_; // programs with an extra track of that PID
};

// The programs in use (below ProgCount, Used = 1) that match, in ascending
// slot order.
std::vector<int> FindPrograms(const Database& db, const ProgFilter& filter);

} // namespace dbase
