#include "editing/Marks.h"

#include "base/Bits.h"
#include "format/Image.h"

#include <span>

namespace dbase {

bool ToggleMarks(Database& db, int slot, int button) {
    if (slot < 0 || slot >= db.ProgCount || slot >= kProgSlots) return false;
    ProgData& d = db.Prog.data[slot];
    ProgRec& r = db.Prog.rec[slot];
    if (button >= 0 && button < kFavGroups) {
        if (d.FavMask.size() != 16) d.FavMask = FavMaskText(static_cast<uint16_t>(progrec::FavMask::Get(r)));
        char& c = d.FavMask[static_cast<size_t>(15 - button)];
        c = c == '1' ? '0' : '1';
        progrec::FavMask::Set(r, FavMaskValue(d.FavMask));
    } else if (button == kLockButton) {
        SetProgramMarks(db, slot, d.Lock == 0, std::nullopt, std::nullopt);
    } else if (button == kSkipButton) {
        SetProgramMarks(db, slot, std::nullopt, d.Skip == 0, std::nullopt);
    } else {
        return false;
    }
    return true;
}

bool HasMark(const Database& db, int slot, int button) {
    if (slot < 0 || slot >= kProgSlots) return false;
    const ProgData& d = db.Prog.data[slot];
    if (button >= 0 && button < kFavGroups) return db.InFavGroup(slot, button);
    if (button == kLockButton) return d.Lock != 0;
    if (button == kSkipButton) return d.Skip != 0;
    return false;
}

bool SetMark(Database& db, int slot, int button, bool on) {
    return HasMark(db, slot, button) != on && ToggleMarks(db, slot, button);
}

int SetMarks(Database& db, std::span<const int> slots, int button, bool on) {
    int changed = 0;
    for (int s : slots) changed += SetMark(db, s, button, on) ? 1 : 0;
    return changed;
}

void SetProgramMarks(Database& db, int slot, std::optional<bool> lock, std::optional<bool> skip,
                     std::optional<uint16_t> fav) {
    ProgData& d = db.Prog.data[slot];
    ProgRec& r = db.Prog.rec[slot];
    if (lock) SetProgLock(r, d, *lock);
    if (skip) SetProgSkip(r, d, *skip);
    if (fav) SetProgFavMask(r, d, *fav);
}

bool SetFavLock(Database& db, int group, bool locked) {
    if (group < 0 || group >= kFavGroups) return false;
    db.FavLocks[group] = locked ? 1 : 0;
    db.FavLocksStored[group] = db.FavLocks[group];
    return true;
}

} // namespace dbase
