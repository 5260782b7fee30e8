// The 18 marking buttons of the main window: their state, enabling and
// MarkFavPos, the status captions that name the mode, the favourite list's
// item texts, and the shades of marked program rows. Nothing here knows about
// widgets; the main window forwards its events and shows what it reads back.
#pragma once

#include "editing/Marks.h"
#include "model/Model.h"

#include <array>
#include <cstdint>
#include <string>

namespace dbase {

// Text of item `group` (0..15) of the favourite list: "FAV.0" + number for a
// named group 1..9, "FAV." + number otherwise, then " :  " and the name with
// its trailing blanks removed.
std::string FavListItemText(int group, const std::string& name);
// Height in pixels of item `index` of the favourite list (16, 18, 20, 16, ...).
inline int FavListItemHeight(int index) { return 16 + 2 * (index % 3); }

// The two status captions above the TV and the radio grid.
struct MarkCaptions {
    std::string tv, radio;
    bool operator==(const MarkCaptions&) const = default;
};

// The captions written when a marking button is pressed: browse texts when no
// button is down, else "(Edit Status: " + the stored name of group n+1 + ")"
// for n = 0..15, "(Edit Status: Skip)" for 16 and "(Edit Status: Lock)" for 17.
MarkCaptions SetMarkCaptions(const Database& db, int n, bool anyButtonDown);

// The captions written at a mouse-down in a list: "Status:Browse" in browse
// mode, else the fixed text of the button that is down.
MarkCaptions MouseDownCaptions(int buttonDown);

// MarkFavPos for a button state: 16 - k while favourite button k is down, 0
// otherwise. It is the 1-based character of FavMask that belongs to group k.
inline int MarkFavPosFor(int buttonDown) {
    return buttonDown >= 0 && buttonDown < kFavGroups ? kFavGroups - buttonDown : 0;
}

// How column 1 of a bound program row is shaded while a marking button is down.
enum class MarkShade {
    Plain, // clWindow background, clWindowText text
    Skip,  // RGB(234,179,227) on navy
    Lock,  // RGB(151,211,215) on navy
    Fav,   // RGB(248,201,219) on navy
};

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kSkipShade{234, 179, 227};
inline constexpr Rgb kLockShade{151, 211, 215};
inline constexpr Rgb kFavShade{248, 201, 219};
inline constexpr Rgb kMarkText{0, 0, 128};
inline constexpr Rgb kLockedGroupText{255, 0, 0};
inline constexpr Rgb kUnlockedGroupText{0, 128, 0};

// The shade of program `p` in the mode of `buttonDown`, with `markFavPos` as
// the window holds it. Browse mode gives Plain; the window then draws the
// ordinary colours instead.
MarkShade MarkShadeFor(const ProgData& p, int buttonDown, int markFavPos);

// The 18 marking buttons as one exclusive group in which all may be up, with
// their enabling, MarkFavPos and the two status captions. Each event method
// is what the window's handler of that name does to the buttons; the window
// keeps its selection flags and passes them in.
class MarkButtons {
public:
    MarkButtons();

    // The button that is down, or kNoMarkButton in browse mode.
    int Down() const { return down_; }
    bool Marking() const { return down_ != kNoMarkButton; }
    bool IsDown(int button) const { return button != kNoMarkButton && button == down_; }
    bool IsEnabled(int button) const;
    // The favourite group index whose button is down, or -1.
    int FavGroupDown() const { return down_ >= 0 && down_ < kFavGroups ? down_ : -1; }
    int MarkFavPos() const { return markFavPos_; }
    const MarkCaptions& Captions() const { return captions_; }

    // What a press asks of the window besides repainting the program grids.
    struct Press {
        bool accepted = false; // false for a disabled or unknown button
        int relistGroup = -1;  // group to list again (ListFavProgs, FillProgGrids), or -1
    };
    // A click on marking button `button` (SB_Fav01Click ... SB_LockClick):
    // an up button goes down and releases the others, the down button goes
    // up. `favListSelected` is the window's flag of that name.
    Press Click(int button, const Database& db, bool favListSelected);

    // EnableFavButtons(n): only favourite button n+1 enabled for n = 0..15,
    // all 16 for n = 16, none for any other n. Which button is down is kept.
    void EnableFavButtons(int n);
    void SetEnabled(int button, bool enabled);

    // A click on row `row` of the satellite grid: releases the favourite
    // buttons (lock and skip modes stay on) and enables all 16; row 0 also
    // enables SB_Lock and SB_Skip.
    void SatRowClicked(int row);
    // A click on a transponder row: all favourite buttons enabled when a
    // favourite group is picked in the list.
    void TpRowClicked(bool favListSelected);
    // A click on a TV or radio row: only the button of the picked group
    // (`favItemIndex`) while `favListSelected`, else all 16 enabled.
    void ProgRowClicked(bool favListSelected, int favItemIndex);
    // A click on group `item` of the favourite list: every button released,
    // only that group's button enabled, SB_Lock and SB_Skip disabled.
    void FavGroupClicked(int item);
    // A mouse-down in any grid or the info panel (SG_SatMouseDown). With a
    // group picked in the favourite list, that group's button is pressed
    // down; then the captions take the fixed text of the mode. Returns true
    // when it pressed a button (the program grids need repainting).
    bool MouseDown(bool favListSelected, int favItemIndex);

    // ResetMainView: MarkFavPos back to 0; the buttons keep their state.
    void Reset() { markFavPos_ = 0; }

private:
    void ReleaseFavButtons();

    int down_ = kNoMarkButton;
    int markFavPos_ = 0;
    std::array<bool, kMarkButtonCount> enabled_;
    MarkCaptions captions_;
};

} // namespace dbase
