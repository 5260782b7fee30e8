// Each decoded record's fields, listed once: the dump of the command-line
// tool, the comparison of two files, the consistency checks and the tests
// walk a record's fields through VisitFields, in the order given here (the
// order of the dump), each with its name, its kind and what it is to the
// comparison of two databases.
#pragma once

#include "model/Model.h"

#include <cstdint>

namespace dbase {

// How a field's value reads.
enum class FieldKind : uint8_t {
    Number,  // a small integer
    Decimal, // the text of a decimal number: "05750" and "5750" name the same value
    Text,    // a text taken as it stands: a name, the text of a code, the favourite mask
    Bytes,   // a list of byte values
};

// What a field is to the comparison of two databases (Diff.h).
enum class FieldRole : uint8_t {
    Compared, // a change of it is listed
    Key,      // it pairs the entries of the two sides, or is the code of a key text
    Code,     // a code whose text, a field of its own, is compared instead
    Link,     // the slot of another entry, which two files number in their own ways
    Carried,  // a stored byte carried along unchanged, left out of the comparison
};

struct FieldInfo {
    const char* name;
    FieldKind kind;
    FieldRole role;
};

namespace fields {

// The visits themselves, over one record or over several records of the
// same type side by side: `f(info, field of each record...)`.

template <class F, class... D> void Sat(F& f, D&... d) {
    using K = FieldKind;
    using R = FieldRole;
    f(FieldInfo{"Name", K::Text, R::Compared}, d.Name...);
    f(FieldInfo{"LnbLow", K::Decimal, R::Compared}, d.LnbLow...);
    f(FieldInfo{"LnbHigh", K::Decimal, R::Compared}, d.LnbHigh...);
    f(FieldInfo{"Longitude", K::Text, R::Key}, d.Longitude...);
    f(FieldInfo{"LnbType", K::Number, R::Compared}, d.LnbType...);
    f(FieldInfo{"Power12V", K::Number, R::Compared}, d.Power12V...);
    f(FieldInfo{"Tone22K", K::Number, R::Compared}, d.Tone22K...);
    f(FieldInfo{"Diseqc10", K::Number, R::Compared}, d.Diseqc10...);
    f(FieldInfo{"Motor", K::Number, R::Compared}, d.Motor...);
    f(FieldInfo{"LnbPower", K::Number, R::Compared}, d.LnbPower...);
    f(FieldInfo{"Diseqc11", K::Number, R::Compared}, d.Diseqc11...);
    f(FieldInfo{"SatByte14", K::Number, R::Carried}, d.SatByte14...);
}

template <class F, class... D> void Tp(F& f, D&... d) {
    using K = FieldKind;
    using R = FieldRole;
    f(FieldInfo{"Used", K::Number, R::Compared}, d.Used...);
    f(FieldInfo{"Freq", K::Decimal, R::Key}, d.Freq...);
    f(FieldInfo{"Pol", K::Number, R::Key}, d.Pol...);
    f(FieldInfo{"PolText", K::Text, R::Key}, d.PolText...);
    f(FieldInfo{"Fec", K::Number, R::Code}, d.Fec...);
    f(FieldInfo{"FecText", K::Text, R::Compared}, d.FecText...);
    f(FieldInfo{"TpByte3", K::Number, R::Carried}, d.TpByte3...);
    f(FieldInfo{"SatIndex", K::Number, R::Link}, d.SatIndex...);
    f(FieldInfo{"TpNo", K::Number, R::Link}, d.TpNo...);
    f(FieldInfo{"SymRate", K::Decimal, R::Compared}, d.SymRate...);
}

template <class F, class... D> void Prog(F& f, D&... d) {
    using K = FieldKind;
    using R = FieldRole;
    f(FieldInfo{"Used", K::Number, R::Compared}, d.Used...);
    f(FieldInfo{"IsRadio", K::Number, R::Key}, d.IsRadio...);
    f(FieldInfo{"IsFree", K::Number, R::Compared}, d.IsFree...);
    f(FieldInfo{"PcrPid", K::Decimal, R::Compared}, d.PcrPid...);
    f(FieldInfo{"PvtPid", K::Decimal, R::Compared}, d.PvtPid...);
    f(FieldInfo{"Lock", K::Number, R::Compared}, d.Lock...);
    f(FieldInfo{"Skip", K::Number, R::Compared}, d.Skip...);
    f(FieldInfo{"TpIndex", K::Number, R::Link}, d.TpIndex...);
    f(FieldInfo{"AudioTracks", K::Number, R::Compared}, d.AudioTracks...);
    f(FieldInfo{"SatIndex", K::Number, R::Link}, d.SatIndex...);
    f(FieldInfo{"ServiceId", K::Decimal, R::Compared}, d.ServiceId...);
    f(FieldInfo{"AudioSel", K::Number, R::Compared}, d.AudioSel...);
    f(FieldInfo{"VidPid", K::Decimal, R::Compared}, d.VidPid...);
    f(FieldInfo{"VidFlags", K::Number, R::Compared}, d.VidFlags...);
    f(FieldInfo{"AudPid", K::Decimal, R::Compared}, d.AudPid...);
    f(FieldInfo{"AudFlags", K::Number, R::Compared}, d.AudFlags...);
    f(FieldInfo{"FavMask", K::Text, R::Compared}, d.FavMask...);
    f(FieldInfo{"PmtPid", K::Decimal, R::Compared}, d.PmtPid...);
    f(FieldInfo{"ProgByte23", K::Number, R::Compared}, d.ProgByte23...);
    f(FieldInfo{"Name", K::Text, R::Compared}, d.Name...);
    f(FieldInfo{"CaIds", K::Bytes, R::Compared}, d.CaIds...);
}

template <class F, class... D> void Audio(F& f, D&... d) {
    using K = FieldKind;
    using R = FieldRole;
    f(FieldInfo{"Used", K::Number, R::Compared}, d.Used...);
    f(FieldInfo{"ProgIndex", K::Number, R::Link}, d.ProgIndex...);
    f(FieldInfo{"Pid", K::Decimal, R::Compared}, d.Pid...);
    f(FieldInfo{"Lang", K::Text, R::Compared}, d.Lang...);
}

} // namespace fields

// Calls `f(info, value)` for each field of a decoded record.
template <class F> void VisitFields(const SatData& d, F&& f) { fields::Sat(f, d); }
template <class F> void VisitFields(const TpData& d, F&& f) { fields::Tp(f, d); }
template <class F> void VisitFields(const ProgData& d, F&& f) { fields::Prog(f, d); }
template <class F> void VisitFields(const AudioData& d, F&& f) { fields::Audio(f, d); }

// Calls `f(info, value in a, value in b)` for each field of two decoded
// records of the same table.
template <class F> void VisitFields(const SatData& a, const SatData& b, F&& f) { fields::Sat(f, a, b); }
template <class F> void VisitFields(const TpData& a, const TpData& b, F&& f) { fields::Tp(f, a, b); }
template <class F> void VisitFields(const ProgData& a, const ProgData& b, F&& f) { fields::Prog(f, a, b); }
template <class F> void VisitFields(const AudioData& a, const AudioData& b, F&& f) { fields::Audio(f, a, b); }

// Calls `f(info, value in each database...)` for each field of favourite
// group `group` (0..15): its name and its lock.
template <class F, class... Db> void VisitFavFields(int group, F&& f, const Db&... db) {
    const auto g = static_cast<size_t>(group);
    f(FieldInfo{"Name", FieldKind::Text, FieldRole::Compared}, db.FavNames[g]...);
    f(FieldInfo{"Locked", FieldKind::Number, FieldRole::Compared}, db.FavLocks[g]...);
}

} // namespace dbase
