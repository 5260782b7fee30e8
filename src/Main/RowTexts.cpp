#include "RowTexts.h"

#include "base/Bits.h"
#include "editing/Marks.h"
#include "viewlogic/MarkButtons.h"

namespace rowtext {

using dbase::Database;

namespace {
bool ValidTp(int tp) { return tp >= 0 && tp < dbase::kTpSlots; }
bool ValidProg(int p) { return p >= 0 && p < dbase::kProgSlots; }
const std::string kSep = "   ";
} // namespace

std::string RowNumber(int n) { return "NO." + std::to_string(n) + ": "; }

std::string FiveWide(const std::string& text) { return dbase::FiveWide(text); }

std::string SatCell(const Database& db, int slot, int col) {
    if (col != 1 || slot < 0 || slot >= dbase::kSatSlots) return {};
    return dbase::TrimRight(db.Sat.data[slot].Name);
}

std::string TpCell(const Database& db, int slot, int col) {
    if (!ValidTp(slot)) return {};
    const dbase::TpData& t = db.Tp.data[slot];
    switch (col) {
    case 1: return FiveWide(dbase::TrimRight(t.Freq));
    case 2: return dbase::TrimRight(t.PolText);
    case 3: return FiveWide(dbase::TrimRight(t.SymRate));
    case 4: return dbase::TrimRight(t.FecText);
    default: return {};
    }
}

std::string ProgCell(const Database& db, int slot, int col) {
    if (!ValidProg(slot)) return {};
    const dbase::ProgData& p = db.Prog.data[slot];
    switch (col) {
    case 1: return dbase::TrimRight(p.Name);
    case 2: return p.IsFree != 1 ? "$" : "";
    default: return {};
    }
}

std::string FavItem(int i, const std::string& rawName) { return dbase::FavListItemText(i, rawName); }

std::string SatName(const Database& db, int sat) {
    return sat >= 0 && sat < dbase::kSatSlots ? db.Sat.data[sat].Name : std::string();
}

std::string TpLine(const Database& db, int tp) {
    if (!ValidTp(tp)) return {};
    const dbase::TpData& t = db.Tp.data[tp];
    return t.Freq + kSep + t.PolText + kSep + t.SymRate + kSep + t.FecText;
}

std::string AudioPid(const Database& db, int prog) {
    const dbase::ProgData& p = db.Prog.data[prog];
    if (p.AudioSel == 0) return p.AudPid;
    const int a = db.ExtraAudioSlot(prog, p.AudioSel);
    // A selection naming a track the table does not hold falls back to the
    // program's own audio PID rather than showing a stale or empty one.
    return a >= 0 ? db.Audio.data[a].Pid : p.AudPid;
}

std::string PidLine(const Database& db, int prog) {
    const dbase::ProgData& p = db.Prog.data[prog];
    return "Vid: " + p.VidPid + kSep + "Aud: " + AudioPid(db, prog) + kSep + "PCR: " + p.PcrPid;
}

std::string StatusLine(const Database& db, int prog) {
    const dbase::ProgData& p = db.Prog.data[prog];
    std::string s = p.IsFree == 1 ? "Free" : "Encrypt";
    s += p.Lock == 1 ? "      Lock_Yes" : "      Lock_Not";
    s += p.Skip == 1 ? "      Skip_Yes" : "      Skip_Not";
    return s;
}

std::vector<std::string> InfoLines(const Database& db, int sat, int tp, int prog) {
    std::vector<std::string> lines;
    if (sat >= 0) lines.push_back(SatName(db, sat));
    if (ValidTp(tp)) {
        lines.push_back(SatName(db, db.Tp.data[tp].SatIndex));
        lines.emplace_back();
        lines.push_back(TpLine(db, tp));
    }
    if (ValidProg(prog)) {
        const dbase::ProgData& p = db.Prog.data[prog];
        lines.push_back(SatName(db, p.SatIndex));
        lines.emplace_back();
        lines.push_back(TpLine(db, static_cast<int>(p.TpIndex)));
        lines.emplace_back();
        lines.push_back(p.Name);
        lines.emplace_back();
        lines.push_back(PidLine(db, prog));
        lines.emplace_back();
        lines.push_back(StatusLine(db, prog));
    }
    return lines;
}

} // namespace rowtext
