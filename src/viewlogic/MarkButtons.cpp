#include "viewlogic/MarkButtons.h"

#include "base/Bits.h"

namespace dbase {

std::string FavListItemText(int group, const std::string& name) {
    const std::string trimmed = TrimRight(name);
    const std::string number = std::to_string(group + 1);
    const bool padded = group < 9 && !trimmed.empty();
    return (padded ? "FAV.0" : "FAV.") + number + " :  " + trimmed;
}

MarkCaptions SetMarkCaptions(const Database& db, int n, bool anyButtonDown) {
    if (!anyButtonDown) return {"(Browse Status )", "(Browse Status)"};
    std::string text;
    if (n >= 0 && n < kFavGroups) {
        // The caption shows the stored name as it stands, trailing blanks included.
        const size_t at = static_cast<size_t>(kFavNameSize) * static_cast<size_t>(n);
        const auto field = std::span(db.FavNameBlock).subspan(at, 15);
        text = "(Edit Status: " + FieldText(field) + ")";
    } else if (n == kSkipButton) {
        text = "(Edit Status: Skip)";
    } else if (n == kLockButton) {
        text = "(Edit Status: Lock)";
    } else {
        return {"(Browse Status )", "(Browse Status)"};
    }
    return {text, text};
}

MarkCaptions MouseDownCaptions(int buttonDown) {
    static const char* const fixedNames[kFavGroups] = {"Movie",  "News",    "Show",    "Sports",   "Children", "Music",
                                                       "Art",    "Educate", "LeiSure", "Shopping", "Adult",    "Etc",
                                                       "User A", "User B",  "User C",  "User D"};
    if (buttonDown >= 0 && buttonDown < kFavGroups) {
        const std::string tv = std::string("(Edit Status: ") + fixedNames[buttonDown] + ")";
        // The radio caption of the third group is written in lower case.
        return {tv, buttonDown == 2 ? "(Edit Status: show)" : tv};
    }
    if (buttonDown == kLockButton) return {"(Edit Status: Lock)", "(Edit State: Lock)"};
    if (buttonDown == kSkipButton) return {"(Edit Status: Skip)", "(Edit Status: Skip)"};
    return {"Status:Browse", "Status:Browse"};
}

MarkShade MarkShadeFor(const ProgData& p, int buttonDown, int markFavPos) {
    if (buttonDown == kNoMarkButton) return MarkShade::Plain;
    if (buttonDown == kSkipButton && p.Skip == 1) return MarkShade::Skip;
    if (buttonDown == kLockButton && p.Lock == 1) return MarkShade::Lock;
    if (markFavPos > 0 && static_cast<size_t>(markFavPos) <= p.FavMask.size() &&
        p.FavMask[static_cast<size_t>(markFavPos - 1)] == '1')
        return MarkShade::Fav;
    return MarkShade::Plain;
}

MarkButtons::MarkButtons() : captions_{"(Status: Browse)", "(Status: Browse)"} { enabled_.fill(true); }

bool MarkButtons::IsEnabled(int button) const {
    return button >= 0 && button < kMarkButtonCount && enabled_[static_cast<size_t>(button)];
}

void MarkButtons::SetEnabled(int button, bool enabled) {
    if (button >= 0 && button < kMarkButtonCount) enabled_[static_cast<size_t>(button)] = enabled;
}

MarkButtons::Press MarkButtons::Click(int button, const Database& db, bool favListSelected) {
    Press result;
    if (!IsEnabled(button)) return result;
    result.accepted = true;
    down_ = down_ == button ? kNoMarkButton : button;
    const bool nowDown = down_ == button;
    if (button < kFavGroups) {
        markFavPos_ = nowDown ? kFavGroups - button : 0;
        captions_ = SetMarkCaptions(db, button, Marking());
        // Leaving a group's mode while the group is listed shows its members
        // as the clicks have left them.
        if (favListSelected && !nowDown) result.relistGroup = button;
    } else {
        markFavPos_ = 0;
        captions_ = SetMarkCaptions(db, button, Marking());
    }
    return result;
}

void MarkButtons::EnableFavButtons(int n) {
    for (int b = 0; b < kFavGroups; ++b) enabled_[static_cast<size_t>(b)] = n == kFavGroups || b == n;
}

void MarkButtons::ReleaseFavButtons() {
    if (FavGroupDown() < 0) return;
    down_ = kNoMarkButton;
    markFavPos_ = 0;
    // The captions follow the mode, so they never name a mode that is off.
    captions_ = {"(Browse Status )", "(Browse Status)"};
}

void MarkButtons::SatRowClicked(int row) {
    EnableFavButtons(kFavGroups);
    ReleaseFavButtons();
    if (row == 0) {
        SetEnabled(kLockButton, true);
        SetEnabled(kSkipButton, true);
    }
}

void MarkButtons::TpRowClicked(bool favListSelected) {
    if (favListSelected) EnableFavButtons(kFavGroups);
}

void MarkButtons::ProgRowClicked(bool favListSelected, int favItemIndex) {
    EnableFavButtons(favListSelected ? favItemIndex : kFavGroups);
}

void MarkButtons::FavGroupClicked(int item) {
    down_ = kNoMarkButton;
    markFavPos_ = 0;
    EnableFavButtons(item);
    SetEnabled(kLockButton, false);
    SetEnabled(kSkipButton, false);
    captions_ = {"Status:Browse", "Status:Browse"};
}

bool MarkButtons::MouseDown(bool favListSelected, int favItemIndex) {
    bool pressed = false;
    if (favListSelected) {
        EnableFavButtons(favItemIndex);
        if (favItemIndex >= 0 && favItemIndex < kFavGroups) {
            pressed = down_ != favItemIndex;
            down_ = favItemIndex;
            markFavPos_ = kFavGroups - favItemIndex;
        }
    }
    captions_ = MouseDownCaptions(down_);
    return pressed;
}

} // namespace dbase
