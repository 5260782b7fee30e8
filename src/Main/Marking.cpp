// Marking buttons of the top bar: favourite groups, lock and skip.
#include "Pictures.h"
#include "TFormMain.h"

#include <QFrame>
#include <QListWidget>
#include <QToolButton>

namespace {
const char* const kFavHints[dbase::kFavGroups] = {
    "Movie",   "News",     "Show",  "Sports",    "Children", "Music",    "Art",    "Educate",
    "LeiSure", "Shopping", "Adult", "Indonesia", "England",  "Mandarin", "Taibei", "India"};

QToolButton* MarkButton(QWidget* parent, const QString& name, const QString& hint, int picture, int x) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setIcon(pictures::MarkButton(picture));
    button->setIconSize(QSize(18, 18));
    button->setGeometry(x, 3, 26, 24);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
} // namespace

void TFormMain::BuildMarkButtons(QWidget* panel) {
    SB_Skip = MarkButton(panel, QStringLiteral("SB_Skip"), QStringLiteral("Skip"), 16, 1);
    SB_Lock = MarkButton(panel, QStringLiteral("SB_Lock"), QStringLiteral("Lock"), 17, 28);
    auto* divider = new QFrame(panel);
    divider->setObjectName(QStringLiteral("Bevel_Divider"));
    divider->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    divider->setGeometry(56, 6, 7, 18);
    for (int g = 0; g < dbase::kFavGroups; ++g) {
        const QString name = QStringLiteral("SB_Fav%1").arg(g + 1, 2, 10, QLatin1Char('0'));
        SB_Fav[static_cast<size_t>(g)] =
            MarkButton(panel, name, QString::fromLatin1(kFavHints[g]), g, 63 + 27 * g);
    }
    // One group in which at most one button is down and all may be up.
    connect(SB_Skip, &QToolButton::clicked, this, [this] {
        MarkButtonPressed(SB_Skip);
        SB_SkipClick();
    });
    connect(SB_Lock, &QToolButton::clicked, this, [this] {
        MarkButtonPressed(SB_Lock);
        SB_LockClick();
    });
    for (int g = 0; g < dbase::kFavGroups; ++g) {
        QToolButton* b = SB_Fav[static_cast<size_t>(g)];
        connect(b, &QToolButton::clicked, this, [this, b, g] {
            MarkButtonPressed(b);
            SB_FavClick(g);
        });
    }
}

void TFormMain::MarkButtonPressed(QToolButton* pressed) {
    if (!pressed->isChecked()) return;
    auto release = [pressed](QToolButton* b) {
        if (b != pressed && b->isChecked()) b->setChecked(false);
    };
    release(SB_Skip);
    release(SB_Lock);
    for (QToolButton* b : SB_Fav)
        release(b);
}

void TFormMain::EnableFavButtons(int n) {
    for (QToolButton* b : SB_Fav)
        b->setEnabled(false);
    if (n >= 0 && n < dbase::kFavGroups)
        SB_Fav[static_cast<size_t>(n)]->setEnabled(true);
    else if (n == dbase::kFavGroups)
        for (QToolButton* b : SB_Fav)
            b->setEnabled(true);
}

// The marking modes change program marks and the status captions; they are
// not built yet, so the buttons only toggle.
void TFormMain::SB_FavClick(int) {}
void TFormMain::SB_LockClick() {}
void TFormMain::SB_SkipClick() {}
void TFormMain::SG_SatMouseDown() {}
void TFormMain::LB_FAVClick() {}
void TFormMain::LB_FAVDblClick() {}
void TFormMain::PMLockClick() {}
void TFormMain::PMUnlockClick() {}
void TFormMain::ToggleMarks(int) {}
void TFormMain::SetMarkCaptions(int) {}
