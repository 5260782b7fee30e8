// The filter above the TV and radio grids. Ctrl+F shows one field for both
// grids and focuses it; while it holds text, or a condition of its popup is
// on, the grids list only the programs that match, on top of the satellite,
// transponder or favourite narrowing in force. Each row keeps the number of
// its place in the list without the filter, and the count beside the field
// tells how many of the listed programs are shown. Esc in the field clears
// it and hides it.
#include "RowTexts.h"
#include "TFormMain.h"
#include "ui/FormSetup.h"
#include "ui/InputDialog.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace {

constexpr int kBarHeight = 26;

// Why the program grids do not move entries while the filter is on.
const char* const kMovesOff = "Programs can not be moved while the filter is on: clear it (Esc) to move them.";

// Watches the field for Esc and the program columns for changes of their
// place, so that the bar stays above both grids.
class FilterWatch : public QObject {
public:
    FilterWatch(TFormMain* form, std::function<void()> escape, std::function<void()> place)
        : QObject(form), escape_(std::move(escape)), place_(std::move(place)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            qobject_cast<QLineEdit*>(watched)) {
            escape_();
            return true;
        }
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move || event->type() == QEvent::Show) place_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> escape_, place_;
};

QAction* Check(QMenu* menu, const QString& name, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    a->setCheckable(true);
    return a;
}

// An empty band of the bar's height between a program column's title and its grid.
QWidget* Space(QWidget* column, const QString& name) {
    auto* space = new QWidget(column);
    space->setObjectName(name);
    space->setFixedHeight(kBarHeight);
    space->hide();
    if (auto* layout = qobject_cast<QVBoxLayout*>(column->layout())) layout->insertWidget(1, space);
    return space;
}

} // namespace

void TFormMain::BuildFilterBar() {
    FindPrograms = new QAction(QStringLiteral("Find programs"), this);
    FindPrograms->setObjectName(QStringLiteral("FindPrograms"));
    FindPrograms->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    FindPrograms->setShortcutContext(Qt::WindowShortcut);
    addAction(FindPrograms);
    connect(FindPrograms, &QAction::triggered, this, &TFormMain::ShowFilter);

    filterSpaceTv_ = Space(Panel_TV, QStringLiteral("FilterSpaceTv"));
    filterSpaceRadio_ = Space(Panel_Rad, QStringLiteral("FilterSpaceRadio"));

    FilterBar = new QFrame(PanelMain);
    FilterBar->setObjectName(QStringLiteral("FilterBar"));
    FilterBar->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(FilterBar);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(6);
    auto* label = new QLabel(QStringLiteral("Find:"), FilterBar);
    label->setFont(ui::ArialPx(12, true));
    FilterEdit = new QLineEdit(FilterBar);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    FilterEdit->setPlaceholderText(QStringLiteral("name, service id or PID"));
    FilterEdit->setClearButtonEnabled(true);
    FilterEdit->setToolTip(QStringLiteral("Lists the programs whose name contains the text, in any case; a number "
                                          "also finds a service id or PID. Esc clears and hides the filter."));
    label->setBuddy(FilterEdit);
    FilterConditions = new QToolButton(FilterBar);
    FilterConditions->setObjectName(QStringLiteral("FilterConditions"));
    FilterConditions->setText(QStringLiteral("Conditions \u25BE"));
    FilterConditions->setPopupMode(QToolButton::InstantPopup);
    // The caption carries the arrow; the style's own would sit on the text.
    FilterConditions->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    FilterConditions->setFocusPolicy(Qt::TabFocus);
    FilterCount = new QLabel(FilterBar);
    FilterCount->setObjectName(QStringLiteral("FilterCount"));
    FilterClose = new QToolButton(FilterBar);
    FilterClose->setObjectName(QStringLiteral("FilterClose"));
    FilterClose->setText(QStringLiteral("\u2715"));
    FilterClose->setAutoRaise(true);
    FilterClose->setToolTip(QStringLiteral("Clear and hide the filter (Esc)"));
    layout->addWidget(label);
    layout->addWidget(FilterEdit, 1);
    layout->addWidget(FilterConditions);
    layout->addWidget(FilterCount);
    layout->addWidget(FilterClose);
    FilterBar->hide();

    // The conditions.
    PM_Filter = new QMenu(FilterConditions);
    PM_Filter->setObjectName(QStringLiteral("PM_Filter"));
    FilterScrambled = Check(PM_Filter, QStringLiteral("FilterScrambled"), QStringLiteral("Scrambled"));
    FilterFree = Check(PM_Filter, QStringLiteral("FilterFree"), QStringLiteral("Free"));
    PM_Filter->addSeparator();
    FilterLocked = Check(PM_Filter, QStringLiteral("FilterLocked"), QStringLiteral("Locked"));
    FilterNotLocked = Check(PM_Filter, QStringLiteral("FilterNotLocked"), QStringLiteral("Not locked"));
    FilterSkipped = Check(PM_Filter, QStringLiteral("FilterSkipped"), QStringLiteral("Skipped"));
    FilterNotSkipped = Check(PM_Filter, QStringLiteral("FilterNotSkipped"), QStringLiteral("Not skipped"));
    PM_Filter->addSeparator();
    FilterFavMenu = PM_Filter->addMenu(QStringLiteral("Favourite group"));
    FilterFavMenu->setObjectName(QStringLiteral("FilterFavMenu"));
    for (int g = 0; g < dbase::kFavGroups; ++g)
        FilterFav[static_cast<size_t>(g)] =
            Check(FilterFavMenu, QStringLiteral("FilterFav%1").arg(g + 1, 2, 10, QLatin1Char('0')), QString());
    FilterSid = Check(PM_Filter, QStringLiteral("FilterSid"), QString());
    FilterPid = Check(PM_Filter, QStringLiteral("FilterPid"), QString());
    PM_Filter->addSeparator();
    FilterClearConditions = PM_Filter->addAction(QStringLiteral("Clear conditions"));
    FilterClearConditions->setObjectName(QStringLiteral("FilterClearConditions"));
    FilterConditions->setMenu(PM_Filter);

    // Each pair of opposites holds at most one of the two.
    auto pair = [this](QAction* yes, QAction* no, std::optional<bool> dbase::ProgFilter::*field) {
        connect(yes, &QAction::triggered, this, [this, field](bool on) {
            filter_.*field = on ? std::optional<bool>(true) : std::nullopt;
            ApplyFilter();
        });
        connect(no, &QAction::triggered, this, [this, field](bool on) {
            filter_.*field = on ? std::optional<bool>(false) : std::nullopt;
            ApplyFilter();
        });
    };
    pair(FilterScrambled, FilterFree, &dbase::ProgFilter::scrambled);
    pair(FilterLocked, FilterNotLocked, &dbase::ProgFilter::locked);
    pair(FilterSkipped, FilterNotSkipped, &dbase::ProgFilter::skipped);
    for (int g = 0; g < dbase::kFavGroups; ++g)
        connect(FilterFav[static_cast<size_t>(g)], &QAction::triggered, this, [this, g](bool on) {
            filter_.favGroup = on ? g : -1;
            ApplyFilter();
        });
    connect(FilterSid, &QAction::triggered, this, [this] { AskFilterNumber(false); });
    connect(FilterPid, &QAction::triggered, this, [this] { AskFilterNumber(true); });
    connect(FilterClearConditions, &QAction::triggered, this, [this] {
        const std::string text = filter_.text;
        filter_ = {};
        filter_.text = text;
        ApplyFilter();
    });
    connect(PM_Filter, &QMenu::aboutToShow, this, &TFormMain::ShowFilterConditions);

    connect(FilterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        filter_.text = text.toStdString();
        ApplyFilter();
    });
    // Enter takes the user to the first program found.
    connect(FilterEdit, &QLineEdit::returnPressed, this, [this] {
        StringGrid* grid =
            SG_TV->gridModel()->BoundRows() > 0 || SG_Radio->gridModel()->BoundRows() == 0 ? SG_TV : SG_Radio;
        grid->setFocus();
        grid->SetRow(grid->Row());
    });
    connect(FilterClose, &QToolButton::clicked, this, &TFormMain::HideFilter);

    auto* watch = new FilterWatch(
        this, [this] { HideFilter(); }, [this] { PlaceFilterBar(); });
    FilterEdit->installEventFilter(watch);
    for (QWidget* w : {static_cast<QWidget*>(Panel_TV), static_cast<QWidget*>(Panel_Rad), filterSpaceTv_})
        w->installEventFilter(watch);
    connect(SplitterColumns, &QSplitter::splitterMoved, this, &TFormMain::PlaceFilterBar);
}

void TFormMain::PlaceFilterBar() {
    if (!FilterBar || FilterBar->isHidden()) return;
    // Over the bands left free between the titles and the grids of both program columns.
    const QPoint left = filterSpaceTv_->mapTo(PanelMain, QPoint(0, 0));
    const QPoint right = Panel_Rad->mapTo(PanelMain, QPoint(Panel_Rad->width(), 0));
    FilterBar->setGeometry(left.x(), left.y(), std::max(0, right.x() - left.x()), kBarHeight);
    FilterBar->raise();
}

void TFormMain::ShowFilter() {
    if (!Doc().FileOpened() || PanelMain->isHidden()) return;
    if (FilterBar->isHidden()) {
        filterSpaceTv_->show();
        filterSpaceRadio_->show();
        FilterBar->show();
        if (QLayout* l = Panel_TV->layout()) l->activate();
        PlaceFilterBar();
    }
    FilterEdit->setFocus(Qt::ShortcutFocusReason);
    FilterEdit->selectAll();
}

void TFormMain::HideFilter() {
    const bool wasOn = FilterOn();
    const bool hadFocus = FilterBar->isAncestorOf(focusWidget());
    filter_ = {};
    {
        const QSignalBlocker quiet(FilterEdit);
        FilterEdit->clear();
    }
    FilterBar->hide();
    filterSpaceTv_->hide();
    filterSpaceRadio_->hide();
    if (wasOn) ApplyFilter();
    if (hadFocus) SG_TV->setFocus();
}

void TFormMain::RefreshMatcher() {
    matcher_ = filter_.Empty() ? nullptr : std::make_unique<dbase::ProgMatcher>(Db(), filter_);
}

void TFormMain::ApplyFilter() {
    // The programs that were current stay current where they are still shown.
    const int tv = SelectedTv(), radio = SelectedRadio();
    RefreshMatcher();
    std::function<bool(int)> keep;
    if (matcher_) keep = [this](int slot) { return matcher_->Matches(slot); };
    SG_TV->gridModel()->SetFilter(keep);
    SG_Radio->gridModel()->SetFilter(keep);
    for (auto [grid, slot] : {std::pair{SG_TV, tv}, std::pair{SG_Radio, radio}}) {
        const int row = grid->RowOfSlot(slot);
        grid->SetRow(row > 0 ? row : 1);
        grid->setToolTip(FilterOn() ? QString::fromLatin1(kMovesOff) : QString());
    }
    ShowFilterCount();
}

void TFormMain::ShowFilterCount() {
    if (!FilterCount) return;
    const QLocale english(QLocale::English);
    const int shown = SG_TV->gridModel()->BoundRows() + SG_Radio->gridModel()->BoundRows();
    const auto listed =
        static_cast<int>(SG_TV->gridModel()->ListSlots().size() + SG_Radio->gridModel()->ListSlots().size());
    FilterCount->setText(english.toString(shown) + QStringLiteral(" of ") + english.toString(listed));
    int conditions = 0;
    const dbase::ProgFilter& f = filter_;
    for (bool on : {f.scrambled.has_value(), f.locked.has_value(), f.skipped.has_value(), f.favGroup >= 0,
                    f.serviceId.has_value(), f.pid.has_value()})
        conditions += on;
    FilterConditions->setText(conditions ? QStringLiteral("Conditions (%1) \u25BE").arg(conditions)
                                         : QStringLiteral("Conditions \u25BE"));
}

void TFormMain::ShowFilterConditions() {
    const dbase::ProgFilter& f = filter_;
    FilterScrambled->setChecked(f.scrambled == true);
    FilterFree->setChecked(f.scrambled == false);
    FilterLocked->setChecked(f.locked == true);
    FilterNotLocked->setChecked(f.locked == false);
    FilterSkipped->setChecked(f.skipped == true);
    FilterNotSkipped->setChecked(f.skipped == false);
    for (int g = 0; g < dbase::kFavGroups; ++g) {
        QAction* a = FilterFav[static_cast<size_t>(g)];
        a->setText(ui::FromLatin1(rowtext::FavItem(g, Db().FavNames[static_cast<size_t>(g)])));
        a->setChecked(f.favGroup == g);
    }
    FilterSid->setChecked(f.serviceId.has_value());
    FilterSid->setText(f.serviceId ? QStringLiteral("Service id = %1").arg(*f.serviceId)
                                   : QStringLiteral("Service id..."));
    FilterPid->setChecked(f.pid.has_value());
    FilterPid->setText(f.pid ? QStringLiteral("PID = %1").arg(*f.pid) : QStringLiteral("PID..."));
}

void TFormMain::AskFilterNumber(bool pid) {
    std::optional<int>& field = pid ? filter_.pid : filter_.serviceId;
    // Choosing a number condition that is on takes it off.
    if (field) {
        field.reset();
    } else {
        field = ui::InputDialog::getNumber(this, pid ? QStringLiteral("PID") : QStringLiteral("Service id"),
                                           pid ? QStringLiteral("Programs with the video, audio, PCR or PMT PID, "
                                                                "or an extra audio track, of:")
                                               : QStringLiteral("Programs with the service id:"),
                                           0, 0, pid ? 8191 : 65535);
        if (!field) return;
    }
    ApplyFilter();
}
