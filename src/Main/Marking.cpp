// Favourite, lock and skip marking: the 18 buttons of the top bar, the status
// captions above the program grids, clicks that mark programs, and the
// favourite list with its group locks.
//
// The state of the buttons (which one is down, which are enabled) lives in
// `Marks`; the buttons on screen only show it, so a click that Qt has already
// toggled is settled by the state machine and then shown again.
#include "Pictures.h"
#include "TFormMain.h"
#include "document/StepNames.h"
#include "ui/FormSetup.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>

namespace {
const char* const kFavHints[dbase::kFavGroups] = {"Movie",   "News",     "Show",    "Sports",   "Children", "Music",
                                                  "Art",     "Educate",  "LeiSure", "Shopping", "Adult",    "Indonesia",
                                                  "England", "Mandarin", "Taibei",  "India"};

QToolButton* NewMarkButton(QWidget* parent, const QString& name, const QString& hint, int picture, int x) {
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

QColor ToColor(dbase::Rgb c) { return {c.r, c.g, c.b}; }

// The favourite list is drawn by the form: variable item heights, and the
// text colour tells whether the group is locked.
class FavListDelegate : public QStyledItemDelegate {
public:
    FavListDelegate(const TFormMain* form, QObject* parent) : QStyledItemDelegate(parent), form_(form) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), form_->LB_FAVMeasureItem(index.row())};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        form_->LB_FAVDrawItem(painter, option.rect, index.row());
    }

private:
    const TFormMain* form_;
};
} // namespace

// ------------------------------------------------------------------ buttons

void TFormMain::BuildMarkButtons(QWidget* panel) {
    SB_Skip = NewMarkButton(panel, QStringLiteral("SB_Skip"), QStringLiteral("Skip"), 16, 1);
    SB_Lock = NewMarkButton(panel, QStringLiteral("SB_Lock"), QStringLiteral("Lock"), 17, 28);
    auto* divider = new QFrame(panel);
    divider->setObjectName(QStringLiteral("Bevel_Divider"));
    divider->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    divider->setGeometry(56, 6, 7, 18);
    for (int g = 0; g < dbase::kFavGroups; ++g) {
        const QString name = QStringLiteral("SB_Fav%1").arg(g + 1, 2, 10, QLatin1Char('0'));
        SB_Fav[static_cast<size_t>(g)] = NewMarkButton(panel, name, QString::fromLatin1(kFavHints[g]), g, 63 + 27 * g);
    }
    connect(SB_Skip, &QToolButton::clicked, this, &TFormMain::SB_SkipClick);
    connect(SB_Lock, &QToolButton::clicked, this, &TFormMain::SB_LockClick);
    for (int g = 0; g < dbase::kFavGroups; ++g)
        connect(SB_Fav[static_cast<size_t>(g)], &QToolButton::clicked, this, [this, g] { SB_FavClick(g); });
}

QToolButton* TFormMain::MarkButton(int button) const {
    if (button >= 0 && button < dbase::kFavGroups) return SB_Fav[static_cast<size_t>(button)];
    if (button == dbase::kSkipButton) return SB_Skip;
    if (button == dbase::kLockButton) return SB_Lock;
    return nullptr;
}

void TFormMain::ShowMarkButtons() {
    for (int b = 0; b < dbase::kMarkButtonCount; ++b) {
        QToolButton* button = MarkButton(b);
        button->setChecked(Marks.IsDown(b));
        button->setEnabled(Marks.IsEnabled(b));
    }
    // In a marking mode a click marks the clicked program only.
    SG_TV->SetMultiSelect(!Marks.Marking());
    SG_Radio->SetMultiSelect(!Marks.Marking());
}

void TFormMain::ShowCaptions(const dbase::MarkCaptions& captions) {
    Label_TvState->setText(ui::FromLatin1(captions.tv));
    Label_RadioState->setText(ui::FromLatin1(captions.radio));
}

void TFormMain::RepaintProgGrids() {
    SG_TV->viewport()->update();
    SG_Radio->viewport()->update();
}

void TFormMain::EnableFavButtons(int n) {
    Marks.EnableFavButtons(n);
    ShowMarkButtons();
}

void TFormMain::SB_FavClick(int group) {
    const dbase::MarkButtons::Press press = Marks.Click(group, Db(), FavListSelected);
    ShowMarkButtons();
    if (!press.accepted) return;
    RepaintProgGrids();
    SetMarkCaptions(group);
    if (press.relistGroup >= 0) FillProgGrids(dbase::FavProgs(Db(), press.relistGroup));
}

void TFormMain::SB_LockClick() {
    const bool accepted = Marks.Click(dbase::kLockButton, Db(), FavListSelected).accepted;
    ShowMarkButtons();
    if (!accepted) return;
    RepaintProgGrids();
    SetMarkCaptions(dbase::kLockButton);
}

void TFormMain::SB_SkipClick() {
    const bool accepted = Marks.Click(dbase::kSkipButton, Db(), FavListSelected).accepted;
    ShowMarkButtons();
    if (!accepted) return;
    RepaintProgGrids();
    SetMarkCaptions(dbase::kSkipButton);
}

void TFormMain::SetMarkCaptions(int n) { ShowCaptions(dbase::SetMarkCaptions(Db(), n, Marks.Marking())); }

// ------------------------------------------------------------ list clicks

void TFormMain::SG_SatMouseDown() {
    const QWidget* focus = focusWidget();
    dbase::GridFocus grid = dbase::GridFocus::None;
    if (focus == SG_Sat)
        grid = dbase::GridFocus::Sat;
    else if (focus == SG_TP)
        grid = dbase::GridFocus::Tp;
    else if (focus == SG_TV)
        grid = dbase::GridFocus::Tv;
    else if (focus == SG_Radio)
        grid = dbase::GridFocus::Radio;
    dragRows_.MouseDown(grid, {.Sat = SG_Sat->Row(), .Tp = SG_TP->Row(), .Tv = SG_TV->Row(), .Radio = SG_Radio->Row()},
                        Marks.Marking());

    // With a group picked in the favourite list, the first press in a list
    // turns on that group's marking mode.
    if (Marks.MouseDown(FavListSelected, LB_FAV->currentRow())) RepaintProgGrids();
    ShowMarkButtons();
    ShowCaptions(Marks.Captions());
}

void TFormMain::ToggleMarks(int prog) {
    const int button = Marks.Down();
    bool toggled = false;
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(
        dbase::steps::Mark(button),
        [&](dbase::Database& db) {
            toggled = dbase::ToggleMarks(db, prog, button);
            return dbase::Status::Ok();
        },
        dbase::StepFocus{dbase::Entity::Prog, prog});
    if (!toggled) return;
    RepaintProgGrids();
    // The status line of the info panel names the lock and skip marks.
    ShowInfo(-1, -1, prog);
}

// ---------------------------------------------------------- favourite list

void TFormMain::SetUpFavList() { LB_FAV->setItemDelegate(new FavListDelegate(this, LB_FAV)); }

int TFormMain::LB_FAVMeasureItem(int index) const { return dbase::FavListItemHeight(index); }

QColor TFormMain::FavItemColour(int index) const {
    const bool locked = index >= 0 && index < dbase::kFavGroups && Db().FavLocks[static_cast<size_t>(index)] != 0;
    return ToColor(locked ? dbase::kLockedGroupText : dbase::kUnlockedGroupText);
}

void TFormMain::LB_FAVDrawItem(QPainter* painter, const QRect& rect, int index) const {
    const QListWidgetItem* item = LB_FAV->item(index);
    painter->save();
    // Selected or not, every item sits on the window colour; the text colour
    // carries the meaning.
    painter->fillRect(rect, LB_FAV->palette().color(QPalette::Base));
    painter->setFont(LB_FAV->font());
    painter->setPen(FavItemColour(index));
    const QFontMetrics fm(LB_FAV->font());
    if (item) painter->drawText(QPoint(rect.left(), rect.top() + fm.ascent()), item->text());
    painter->restore();
}

void TFormMain::LB_FAVClick() {
    const int item = LB_FAV->currentRow();
    if (item < 0 || item >= dbase::kFavGroups) return;
    Marks.FavGroupClicked(item);
    ShowMarkButtons();
    SG_TP->viewport()->update();
    SG_Sat->viewport()->update();
    RepaintProgGrids();

    SatSelected = TpSelected = TvSelected = RadioSelected = false;
    FavListSelected = true;
    SelectedFavGroup = item;
    ShowInfo(-1, -1, -1);
    // The group's members from every satellite, in slot order.
    FillProgGrids(dbase::FavProgs(Db(), item));
    // Nothing that adds to a transponder has one to add to now.
    SB_NewTv->setEnabled(false);
    SB_NewRadio->setEnabled(false);
    ShowCaptions(Marks.Captions());
}

void TFormMain::LB_FAVDblClick() {
    const int item = LB_FAV->currentRow();
    if (item < 0 || item >= dbase::kFavGroups || LB_FAV->item(item)->text().isEmpty()) return;
    B_FAV->click();
    Doc().SetDataChanged(true);
    OpenFavNameDialog(item);
}

namespace {

// Locks or unlocks a favourite group as one step; the locks are saved with
// the file, so even a lock that was already set counts as a change.
bool LockGroup(dbase::Document& doc, int group, bool locked) {
    bool done = false;
    // The step's change returns Ok, so there is no refusal to show.
    (void)doc.Edit(
        dbase::steps::LockFavourite(group, locked),
        [&](dbase::Database& db) {
            done = dbase::SetFavLock(db, group, locked);
            return dbase::Status::Ok();
        },
        dbase::StepFocus{dbase::Entity::Fav, group});
    if (done) doc.SetDataChanged(true);
    return done;
}

} // namespace

void TFormMain::PMLockClick() {
    if (LockGroup(Doc(), LB_FAV->currentRow(), true)) LB_FAV->viewport()->update();
}

void TFormMain::PMUnlockClick() {
    if (LockGroup(Doc(), LB_FAV->currentRow(), false)) LB_FAV->viewport()->update();
}

// ------------------------------------------------------- marks of selected

void TFormMain::SetMarksOfSelected(bool radio, int button, bool on) {
    StringGrid* grid = radio ? SG_Radio : SG_TV;
    const std::vector<int> programs = grid->SelectedSlots();
    if (!Doc().FileOpened() || programs.empty()) return;
    // The step's change returns Ok, so there is no refusal to show.
    (void)Doc().Edit(
        dbase::steps::SetMarks(button, on),
        [&](dbase::Database& db) {
            dbase::SetMarks(db, programs, button, on);
            return dbase::Status::Ok();
        },
        dbase::StepFocus{dbase::Entity::Prog, programs.front()});
    RepaintProgGrids();
    // The status line of the info panel names the lock and skip marks.
    if (const int current = grid->SlotOfRow(grid->Row()); current >= 0) ShowInfo(-1, -1, current);
}
