// Favourite, lock and skip marking in the main window: the 18 buttons and
// their modes, the status captions, clicks that mark programs, the marking
// colours, the favourite list with its clicks, drawing and group locks.
#include "GuiTestSupport.h"
#include "SampleData.h"
#include "base/Bits.h"
#include "format/Image.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "EditFAV/TFormEditFAV.h"

using namespace guitest;

namespace {

const QColor kWhite(Qt::white), kBlack(Qt::black), kNavy(0, 0, 128);
const QColor kFavShade(248, 201, 219), kLockShade(151, 211, 215), kSkipShade(234, 179, 227);

// Two satellites. TV programs on Alpha: One (group 1), Two (locked),
// Three (skipped, groups 1 and 3), Four; on Beta: Five (group 2). Radio:
// Wave on Alpha (group 1), Tide on Beta. Group 1 is stored as "Films", so
// the stored name and the fixed caption of its button differ.
std::unique_ptr<dbase::Database> MarkingDb() {
    auto db = dbase::NewDatabase();
    const int alpha = sample::AddSat(*db, {"Alpha", 192});
    const int beta = sample::AddSat(*db, {"Beta", 130});
    const int a1 = sample::AddTp(*db, alpha, 11000, false, 27500, 3);
    const int b1 = sample::AddTp(*db, beta, 12000, true, 27500, 3);
    auto add = [&](int tp, const char* name, uint16_t fav, bool lock, bool skip, bool radio) {
        sample::ProgSpec p;
        p.name = name;
        p.fav = fav;
        p.lock = lock;
        p.skip = skip;
        p.radio = radio;
        return sample::AddProg(*db, tp, p);
    };
    add(a1, "One", 0x1, false, false, false);
    add(a1, "Two", 0, true, false, false);
    add(a1, "Three", 0x5, false, true, false);
    add(a1, "Four", 0, false, false, false);
    add(b1, "Five", 0x2, false, false, false);
    add(a1, "Wave", 0x1, false, false, true);
    add(b1, "Tide", 0, false, false, true);
    sample::NameFav(*db, 0, "Films");
    sample::NameFav(*db, 1, "News");
    return db;
}

std::unique_ptr<TFormMain> OpenMarkingDb(const Env& env) {
    auto form = MakeForm(env);
    OpenThroughMenu(*form, WriteDataFile(*MarkingDb(), env.path(QStringLiteral("marks.bin")), true));
    return form;
}

// Grid row showing the program named `name`, or -1.
int RowOf(const StringGrid* grid, const QString& name) {
    const QStringList names = ColumnTexts(grid, 1);
    const int i = static_cast<int>(names.indexOf(name));
    return i < 0 ? -1 : i + 1;
}

int SlotOf(const TFormMain& form, const char* name) {
    for (int p = 0; p < form.Db().ProgCount; ++p)
        if (form.Db().Prog.data[p].Name == name) return p;
    return -1;
}

QStringList Captions(const TFormMain& form) {
    return {Widget<QLabel>(form, "Label_TvState")->text(), Widget<QLabel>(form, "Label_RadioState")->text()};
}

// A press in the info panel: the shared mouse-down without a grid click.
void PressInfoPanel(TFormMain& form) {
    QTest::mouseClick(Widget<QListWidget>(form, "LB_Info")->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

QStringList DownButtons(const TFormMain& form) {
    QStringList names;
    for (QToolButton* b : Widget<QWidget>(form, "Panel_EditFav")->findChildren<QToolButton*>())
        if (b->isChecked()) names << b->objectName();
    return names;
}

void ClickFavItem(TFormMain& form, int item) {
    const QRect r =
        Widget<QListWidget>(form, "LB_FAV")->visualItemRect(Widget<QListWidget>(form, "LB_FAV")->item(item));
    QTest::mouseClick(Widget<QListWidget>(form, "LB_FAV")->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

// The colour of the item's text: of the pixels in its rectangle, the one
// that differs most from the list's background (the glyphs' edges are
// blended with it).
QColor ItemTextColour(QListWidget* list, int item) {
    // Items are laid out lazily; a grab before that shows none.
    list->doItemsLayout();
    const QImage image = list->viewport()->grab().toImage();
    const QColor base = list->palette().color(QPalette::Base);
    const QRect r = list->visualItemRect(list->item(item));
    QColor found;
    int best = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x < r.left() + 80; ++x) {
            const QColor c = image.pixelColor(x, y);
            const int d =
                std::abs(c.red() - base.red()) + std::abs(c.green() - base.green()) + std::abs(c.blue() - base.blue());
            if (d > best) {
                best = d;
                found = c;
            }
        }
    return found;
}

} // namespace

class TestMarking : public QObject {
    Q_OBJECT
private slots:
    void buttonsSwitchModesAndCaptions() {
        Env env;
        auto form = OpenMarkingDb(env);
        QCOMPARE(Captions(*form), (QStringList{"(Status: Browse)", "(Status: Browse)"}));

        // A press names the group as stored; the next press in a list gives
        // the fixed name of the button.
        QTest::mouseClick(guitest::FavButton(*form, 0), Qt::LeftButton);
        QCOMPARE(DownButtons(*form), QStringList{"SB_Fav01"});
        QCOMPARE(form->View().markFavPos, 16);
        QCOMPARE(Captions(*form), (QStringList{"(Edit Status: Films)", "(Edit Status: Films)"}));
        PressInfoPanel(*form);
        QCOMPARE(Captions(*form), (QStringList{"(Edit Status: Movie)", "(Edit Status: Movie)"}));

        // Another button takes over; an unnamed group shows an empty name.
        QTest::mouseClick(guitest::FavButton(*form, 2), Qt::LeftButton);
        QCOMPARE(DownButtons(*form), QStringList{"SB_Fav03"});
        QCOMPARE(form->View().markFavPos, 14);
        QCOMPARE(Captions(*form), (QStringList{"(Edit Status: )", "(Edit Status: )"}));
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        QCOMPARE(Captions(*form), (QStringList{"(Edit Status: Show)", "(Edit Status: show)"}));

        // Its own button ends the mode.
        QTest::mouseClick(guitest::FavButton(*form, 2), Qt::LeftButton);
        QVERIFY(DownButtons(*form).isEmpty());
        QCOMPARE(form->View().markFavPos, 0);
        QCOMPARE(Captions(*form), (QStringList{"(Browse Status )", "(Browse Status)"}));
        PressInfoPanel(*form);
        QCOMPARE(Captions(*form), (QStringList{"Status:Browse", "Status:Browse"}));

        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Lock"), Qt::LeftButton);
        QCOMPARE(form->View().markFavPos, 0);
        QCOMPARE(Captions(*form), (QStringList{"(Edit Status: Lock)", "(Edit Status: Lock)"}));
        PressInfoPanel(*form);
        QCOMPARE(Captions(*form), (QStringList{"(Edit Status: Lock)", "(Edit State: Lock)"}));

        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Skip"), Qt::LeftButton);
        QCOMPARE(DownButtons(*form), QStringList{"SB_Skip"});
        QCOMPARE(Captions(*form), (QStringList{"(Edit Status: Skip)", "(Edit Status: Skip)"}));
        PressInfoPanel(*form);
        QCOMPARE(Captions(*form), (QStringList{"(Edit Status: Skip)", "(Edit Status: Skip)"}));

        // A satellite click ends a favourite mode and says so; skip stays on.
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        QCOMPARE(DownButtons(*form), QStringList{"SB_Skip"});
        QTest::mouseClick(guitest::FavButton(*form, 1), Qt::LeftButton);
        Widget<StringGrid>(*form, "SG_Sat")->SetRow(2);
        Widget<QPushButton>(*form, "B_Sat")->click();
        QVERIFY(DownButtons(*form).isEmpty());
        QCOMPARE(form->View().markFavPos, 0);
        QCOMPARE(Captions(*form), (QStringList{"(Browse Status )", "(Browse Status)"}));
    }

    void fixedCaptionOfEveryFavouriteButton() {
        Env env;
        auto form = OpenMarkingDb(env);
        const QStringList names = {"Movie",   "News",     "Show",  "Sports", "Children", "Music",  "Art",    "Educate",
                                   "LeiSure", "Shopping", "Adult", "Etc",    "User A",   "User B", "User C", "User D"};
        for (int g = 0; g < 16; ++g) {
            QTest::mouseClick(guitest::FavButton(*form, g), Qt::LeftButton);
            QCOMPARE(form->View().markFavPos, 16 - g);
            PressInfoPanel(*form);
            const QString tv = QStringLiteral("(Edit Status: %1)").arg(names[g]);
            QCOMPARE(Captions(*form), (QStringList{tv, g == 2 ? QStringLiteral("(Edit Status: show)") : tv}));
        }
    }

    void clicksToggleMarksInBothForms() {
        Env env;
        auto form = OpenMarkingDb(env);
        const dbase::Database& db = form->Db();
        dbase::Document& doc = form->Doc();
        const int one = SlotOf(*form, "One"), wave = SlotOf(*form, "Wave");

        // Browse mode: a click only selects.
        const auto before = db.Prog.rec;
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), RowOf(Widget<StringGrid>(*form, "SG_TV"), "One"));
        QVERIFY(form->View().tvSelected);
        QVERIFY(db.Prog.rec == before);
        QVERIFY(!doc.DataChanged());

        // Group 2 (News): bit 1 of the stored mask, character 15 of the text.
        QTest::mouseClick(guitest::FavButton(*form, 1), Qt::LeftButton);
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), RowOf(Widget<StringGrid>(*form, "SG_TV"), "One"));
        QCOMPARE(QString::fromStdString(db.Prog.data[one].FavMask), QStringLiteral("0000000000000011"));
        QCOMPARE(dbase::GetU16(db.Prog.rec[one], 18), uint16_t(0x3));
        QVERIFY(doc.DataChanged());
        // Twice leaves the membership as it was, the data still marked changed.
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), RowOf(Widget<StringGrid>(*form, "SG_TV"), "One"));
        QCOMPARE(dbase::GetU16(db.Prog.rec[one], 18), uint16_t(0x1));
        QCOMPARE(QString::fromStdString(db.Prog.data[one].FavMask), QStringLiteral("0000000000000001"));
        QVERIFY(doc.DataChanged());

        // Lock and skip on a radio program; the info panel shows the new state.
        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Lock"), Qt::LeftButton);
        ClickRow(Widget<StringGrid>(*form, "SG_Radio"), RowOf(Widget<StringGrid>(*form, "SG_Radio"), "Wave"));
        QCOMPARE(db.Prog.data[wave].Lock, uint8_t(1));
        QCOMPARE(db.Prog.rec[wave][22] & 3, 1);
        QVERIFY(ListTexts(Widget<QListWidget>(*form, "LB_Info")).last().contains(QStringLiteral("Lock_Yes")));
        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Skip"), Qt::LeftButton);
        ClickRow(Widget<StringGrid>(*form, "SG_Radio"), RowOf(Widget<StringGrid>(*form, "SG_Radio"), "Wave"));
        QCOMPARE(db.Prog.data[wave].Skip, uint8_t(1));
        QCOMPARE(db.Prog.rec[wave][22] & 3, 3);
        QVERIFY(ListTexts(Widget<QListWidget>(*form, "LB_Info")).last().endsWith(QStringLiteral("Skip_Yes")));

        // The marks reach the saved image: reading it back gives the same marks.
        auto reread = dbase::NewDatabase();
        QVERIFY(dbase::ParseImage(*reread, dbase::BuildImage(db)).ok());
        for (int p : {one, wave}) {
            QCOMPARE(reread->Prog.data[p].FavMask, db.Prog.data[p].FavMask);
            QCOMPARE(reread->Prog.data[p].Lock, db.Prog.data[p].Lock);
            QCOMPARE(reread->Prog.data[p].Skip, db.Prog.data[p].Skip);
        }
    }

    void markingColours() {
        Env env;
        auto form = OpenMarkingDb(env);
        const int one = RowOf(Widget<StringGrid>(*form, "SG_TV"), "One"),
                  two = RowOf(Widget<StringGrid>(*form, "SG_TV"), "Two");
        const int three = RowOf(Widget<StringGrid>(*form, "SG_TV"), "Three"),
                  four = RowOf(Widget<StringGrid>(*form, "SG_TV"), "Four");
        form->activateWindow();
        Widget<StringGrid>(*form, "SG_TV")->setFocus();
        QTRY_VERIFY(Widget<StringGrid>(*form, "SG_TV")->hasFocus());

        // Browse mode: the selection colours of the list views.
        QCOMPARE(form->SG_TVDrawCell(four, 1, true).background, QColor(132, 193, 255));

        QTest::mouseClick(guitest::FavButton(*form, 0), Qt::LeftButton);
        for (int row : {one, three}) {
            QCOMPARE(form->SG_TVDrawCell(row, 1, false).background, kFavShade);
            QCOMPARE(form->SG_TVDrawCell(row, 1, false).text, kNavy);
        }
        // The mark replaces the selection colour, marked or not.
        QCOMPARE(form->SG_TVDrawCell(one, 1, true).background, kFavShade);
        QCOMPARE(form->SG_TVDrawCell(four, 1, true).background, kWhite);
        QCOMPARE(form->SG_TVDrawCell(four, 1, true).text, kBlack);
        QCOMPARE(form->SG_TVDrawCell(one, 0, false).background, QColor(221, 221, 221));
        QCOMPARE(form->SG_TVDrawCell(one, 2, false).background, kWhite);
        QCOMPARE(form->SG_RadioDrawCell(RowOf(Widget<StringGrid>(*form, "SG_Radio"), "Wave"), 1, false).background,
                 kFavShade);
        QCOMPARE(form->SG_RadioDrawCell(RowOf(Widget<StringGrid>(*form, "SG_Radio"), "Tide"), 1, false).background,
                 kWhite);

        // Group 3: only Three is a member.
        QTest::mouseClick(guitest::FavButton(*form, 2), Qt::LeftButton);
        QCOMPARE(form->SG_TVDrawCell(one, 1, false).background, kWhite);
        QCOMPARE(form->SG_TVDrawCell(three, 1, false).background, kFavShade);

        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Lock"), Qt::LeftButton);
        QCOMPARE(form->SG_TVDrawCell(two, 1, false).background, kLockShade);
        QCOMPARE(form->SG_TVDrawCell(two, 1, false).text, kNavy);
        QCOMPARE(form->SG_TVDrawCell(three, 1, false).background, kWhite);

        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Skip"), Qt::LeftButton);
        QCOMPARE(form->SG_TVDrawCell(three, 1, false).background, kSkipShade);
        QCOMPARE(form->SG_TVDrawCell(two, 1, false).background, kWhite);

        // What reaches the screen: the right end of the name cell of Three.
        Widget<StringGrid>(*form, "SG_TV")->viewport()->repaint();
        const QImage image = Widget<StringGrid>(*form, "SG_TV")->viewport()->grab().toImage();
        const QRect cell = Widget<StringGrid>(*form, "SG_TV")
                               ->visualRect(Widget<StringGrid>(*form, "SG_TV")->model()->index(three - 1, 1));
        QCOMPARE(image.pixelColor(cell.right() - 3, cell.center().y()), kSkipShade);

        // A click that marks repaints the new state.
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), four);
        QCOMPARE(form->SG_TVDrawCell(four, 1, true).background, kSkipShade);
    }

    void groupClickListsMembersAndArmsTheMode() {
        Env env;
        auto form = OpenMarkingDb(env);
        const dbase::Database& db = form->Db();
        dbase::Document& doc = form->Doc();
        QTest::mouseClick(Widget<QToolButton>(*form, "SB_Lock"), Qt::LeftButton);
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 1);
        QVERIFY(form->View().tpSelected);

        ClickFavItem(*form, 0);
        QVERIFY(DownButtons(*form).isEmpty());
        QVERIFY(form->View().favListSelected);
        QCOMPARE(form->View().selectedFavGroup, 0);
        QVERIFY(!form->View().satSelected && !form->View().tpSelected && !form->View().tvSelected &&
                !form->View().radioSelected);
        for (int g = 0; g < 16; ++g) QCOMPARE(guitest::FavButton(*form, g)->isEnabled(), g == 0);
        QVERIFY(!Widget<QToolButton>(*form, "SB_Lock")->isEnabled());
        QVERIFY(!Widget<QToolButton>(*form, "SB_Skip")->isEnabled());
        QVERIFY(!Widget<QToolButton>(*form, "SB_NewTv")->isEnabled());
        QCOMPARE(Widget<QListWidget>(*form, "LB_Info")->count(), 0);
        QCOMPARE(Captions(*form), (QStringList{"Status:Browse", "Status:Browse"}));
        // The group's members from every satellite.
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), (QStringList{"One", "Three"}));
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_Radio"), 1), QStringList{"Wave"});

        // Only the group's button can be pressed.
        QTest::mouseClick(guitest::FavButton(*form, 1), Qt::LeftButton);
        QVERIFY(DownButtons(*form).isEmpty());

        // The first press in a list turns on the group's mode; the click it
        // belongs to changes nothing yet.
        doc.SetDataChanged(false);
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
        QCOMPARE(DownButtons(*form), QStringList{"SB_Fav01"});
        QCOMPARE(form->View().markFavPos, 16);
        QCOMPARE(Captions(*form), (QStringList{"(Edit Status: Movie)", "(Edit Status: Movie)"}));
        QVERIFY(!doc.DataChanged());
        // Now clicks remove members; the list stays until the mode ends.
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
        QVERIFY(!db.InFavGroup(SlotOf(*form, "One"), 0));
        QVERIFY(doc.DataChanged());
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), (QStringList{"One", "Three"}));
        QTest::mouseClick(guitest::FavButton(*form, 0), Qt::LeftButton);
        QVERIFY(DownButtons(*form).isEmpty());
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), QStringList{"Three"});
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_Radio"), 1), QStringList{"Wave"});

        // Lock and skip come back with row 0 of the satellite grid.
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 1);
        QVERIFY(!Widget<QToolButton>(*form, "SB_Lock")->isEnabled());
        for (int g = 0; g < 16; ++g) QVERIFY(guitest::FavButton(*form, g)->isEnabled());
        ClickRow(Widget<StringGrid>(*form, "SG_Sat"), 0);
        QVERIFY(Widget<QToolButton>(*form, "SB_Lock")->isEnabled());
        QVERIFY(Widget<QToolButton>(*form, "SB_Skip")->isEnabled());
    }

    void transponderClickFreesTheFavouriteButtons() {
        Env env;
        auto form = OpenMarkingDb(env);
        ClickFavItem(*form, 1);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), QStringList{"Five"});
        ClickRow(Widget<StringGrid>(*form, "SG_TP"), 2);
        QVERIFY(!form->View().favListSelected);
        QCOMPARE(Widget<QListWidget>(*form, "LB_FAV")->currentRow(), -1);
        for (int g = 0; g < 16; ++g) QVERIFY(guitest::FavButton(*form, g)->isEnabled());
        // With no group picked a press in a list turns on no mode.
        PressInfoPanel(*form);
        QVERIFY(DownButtons(*form).isEmpty());
    }

    void pickedGroupSurvivesARefillOfTheList() {
        Env env;
        auto form = OpenMarkingDb(env);
        // With the satellite list filtered the favourite list is rebuilt.
        Widget<QAction>(*form, "Show_Act_Sat")->trigger();
        ClickFavItem(*form, 1);
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
        QVERIFY(form->View().tvSelected && form->View().favListSelected && form->View().activeOnly);
        form->FillTpGrid();
        QCOMPARE(Widget<QListWidget>(*form, "LB_FAV")->currentRow(), 1);
        PressInfoPanel(*form);
        QCOMPARE(DownButtons(*form), QStringList{"SB_Fav02"});
        QVERIFY(guitest::FavButton(*form, 1)->isEnabled());
    }

    void arrowKeysPickTheGroupTheyMoveTo() {
        Env env;
        auto form = OpenMarkingDb(env);
        const dbase::Database& db = form->Db();
        ClickFavItem(*form, 0);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), (QStringList{"One", "Three"}));
        QTest::keyClick(Widget<QListWidget>(*form, "LB_FAV"), Qt::Key_Down);
        QCOMPARE(Widget<QListWidget>(*form, "LB_FAV")->currentRow(), 1);
        QCOMPARE(form->View().selectedFavGroup, 1);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), QStringList{"Five"});
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_Radio"), 1), QStringList{""});
        // The next press in a list turns on the mode of the group on show,
        // and the click after it marks in that group.
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
        QCOMPARE(DownButtons(*form), QStringList{"SB_Fav02"});
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 1);
        QVERIFY(!db.InFavGroup(SlotOf(*form, "Five"), 1));
        QVERIFY(!db.InFavGroup(SlotOf(*form, "One"), 1));
        QVERIFY(db.InFavGroup(SlotOf(*form, "One"), 0));
        // Up again picks the first group and ends the mode.
        QTest::keyClick(Widget<QListWidget>(*form, "LB_FAV"), Qt::Key_Up);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), (QStringList{"One", "Three"}));
        QVERIFY(DownButtons(*form).isEmpty());
    }

    void takingTheFocusPicksNoGroup() {
        Env env;
        auto form = OpenMarkingDb(env);
        QCOMPARE(Widget<QListWidget>(*form, "LB_FAV")->currentRow(), -1);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        Widget<QListWidget>(*form, "LB_FAV")->setFocus(Qt::TabFocusReason);
        QVERIFY(Widget<QListWidget>(*form, "LB_FAV")->hasFocus());
        QCOMPARE(Widget<QListWidget>(*form, "LB_FAV")->currentRow(), -1);
        QVERIFY(!form->View().favListSelected);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1).size(), 5);
    }

    void rightClickedGroupIsPickedBeforeItsLock() {
        Env env;
        auto form = OpenMarkingDb(env);
        const dbase::Database& db = form->Db();
        ClickFavItem(*form, 0);
        const QRect r =
            Widget<QListWidget>(*form, "LB_FAV")->visualItemRect(Widget<QListWidget>(*form, "LB_FAV")->item(2));
        QTest::mouseClick(Widget<QListWidget>(*form, "LB_FAV")->viewport(), Qt::RightButton, Qt::NoModifier,
                          r.center());
        QContextMenuEvent event(QContextMenuEvent::Mouse, r.center(),
                                Widget<QListWidget>(*form, "LB_FAV")->viewport()->mapToGlobal(r.center()));
        QApplication::sendEvent(Widget<QListWidget>(*form, "LB_FAV")->viewport(), &event);
        QTRY_VERIFY(Widget<QMenu>(*form, "PM_FAV")->isVisible());
        Widget<QMenu>(*form, "PM_FAV")->close();
        // Group 3 is picked as by a click: its members are listed.
        QCOMPARE(form->View().selectedFavGroup, 2);
        QCOMPARE(ColumnTexts(Widget<StringGrid>(*form, "SG_TV"), 1), QStringList{"Three"});
        Widget<QAction>(*form, "PMLock")->trigger();
        QCOMPARE(db.FavLocks[2], uint8_t(1));
        QCOMPARE(db.FavLocks[0], uint8_t(0));
        PressInfoPanel(*form);
        QCOMPARE(DownButtons(*form), QStringList{"SB_Fav03"});
        // Right-clicking the picked group again keeps its mode; Unlock acts on it.
        QTest::mouseClick(Widget<QListWidget>(*form, "LB_FAV")->viewport(), Qt::RightButton, Qt::NoModifier,
                          r.center());
        Widget<QAction>(*form, "PMUnlock")->trigger();
        QCOMPARE(db.FavLocks[2], uint8_t(0));
        QCOMPARE(DownButtons(*form), QStringList{"SB_Fav03"});
    }

    void groupLockAndUnlock() {
        Env env;
        auto form = OpenMarkingDb(env);
        const dbase::Database& db = form->Db();
        dbase::Document& doc = form->Doc();
        const QColor red(255, 0, 0), green(0, 128, 0);
        QCOMPARE(ItemTextColour(Widget<QListWidget>(*form, "LB_FAV"), 2), green);

        // Without a picked group nothing happens.
        Widget<QListWidget>(*form, "LB_FAV")->setCurrentRow(-1);
        Widget<QAction>(*form, "PMLock")->trigger();
        QVERIFY(!doc.DataChanged());
        QCOMPARE(db.FavLocks, (std::array<uint8_t, 16>{}));

        Widget<QListWidget>(*form, "LB_FAV")->setCurrentRow(2);
        Widget<QAction>(*form, "PMLock")->trigger();
        QCOMPARE(db.FavLocks[2], uint8_t(1));
        QCOMPARE(db.FavLocksStored[2], uint8_t(1));
        // The locks are saved data, so the change is kept track of.
        QVERIFY(doc.DataChanged());
        QCOMPARE(form->FavItemColour(2), red);
        QCOMPARE(ItemTextColour(Widget<QListWidget>(*form, "LB_FAV"), 2), red);
        QCOMPARE(ItemTextColour(Widget<QListWidget>(*form, "LB_FAV"), 1), green);
        QCOMPARE(dbase::BuildImage(db)[204428 + 2], uint8_t(1));

        doc.SetDataChanged(false);
        Widget<QAction>(*form, "PMUnlock")->trigger();
        QCOMPARE(db.FavLocks[2], uint8_t(0));
        QVERIFY(doc.DataChanged());
        QCOMPARE(ItemTextColour(Widget<QListWidget>(*form, "LB_FAV"), 2), green);
        QCOMPARE(dbase::BuildImage(db)[204428 + 2], uint8_t(0));
    }

    void favouriteListItems() {
        Env env;
        auto form = OpenMarkingDb(env);
        QListWidget* list = Widget<QListWidget>(*form, "LB_FAV");
        QCOMPARE(list->count(), 16);
        QCOMPARE(list->item(0)->text(), QStringLiteral("FAV.01 :  Films"));
        QCOMPARE(list->item(2)->text(), QStringLiteral("FAV.3 :  "));
        QCOMPARE(list->font().family(), QStringLiteral("Arial"));
        QCOMPARE(list->font().pixelSize(), 14);
        list->doItemsLayout();
        for (int i = 0; i < 16; ++i) QCOMPARE(list->visualItemRect(list->item(i)).height(), 16 + 2 * (i % 3));
        // A selected item keeps the window colour behind its text.
        ClickFavItem(*form, 1);
        const QImage image = list->viewport()->grab().toImage();
        const QRect r = list->visualItemRect(list->item(1));
        QCOMPARE(image.pixelColor(r.right() - 2, r.center().y()), list->palette().color(QPalette::Base));
    }

    void doubleClickNamesTheGroup() {
        Env env;
        auto form = OpenMarkingDb(env);
        const dbase::Database& db = form->Db();
        dbase::Document& doc = form->Doc();
        auto answer = [](const QString& name, bool ok) {
            QTimer::singleShot(0, [name, ok] {
                auto* dlg = qobject_cast<TFormEditFAV*>(QApplication::activeModalWidget());
                QVERIFY(dlg);
                dlg->Edit_Name->setText(name);
                if (ok)
                    dlg->SB_OKClick();
                else
                    dlg->SB_CancelClick();
            });
        };
        const QRect r =
            Widget<QListWidget>(*form, "LB_FAV")->visualItemRect(Widget<QListWidget>(*form, "LB_FAV")->item(1));
        answer(QStringLiteral("Cinema"), true);
        QTest::mouseClick(Widget<QListWidget>(*form, "LB_FAV")->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        QTest::mouseDClick(Widget<QListWidget>(*form, "LB_FAV")->viewport(), Qt::LeftButton, Qt::NoModifier,
                           r.center());
        QVERIFY(form->View().favListSelected);
        QCOMPARE(form->View().selectedFavGroup, 1);
        QVERIFY(doc.DataChanged());
        QCOMPARE(QString::fromStdString(db.FavNames[1]), QStringLiteral("Cinema"));
        QCOMPARE(Widget<QListWidget>(*form, "LB_FAV")->item(1)->text(), QStringLiteral("FAV.02 :  Cinema"));
        QCOMPARE(guitest::FavButton(*form, 1)->toolTip(), QStringLiteral("Cinema"));
        // The new name is what a press of the group's button shows.
        QTest::mouseClick(guitest::FavButton(*form, 1), Qt::LeftButton);
        QCOMPARE(Widget<QLabel>(*form, "Label_TvState")->text(), QStringLiteral("(Edit Status: Cinema)"));

        // Cancelled: the name stays.
        answer(QStringLiteral("Other"), false);
        form->LB_FAVDblClick();
        QCOMPARE(QString::fromStdString(db.FavNames[1]), QStringLiteral("Cinema"));
    }
};

QTEST_MAIN(TestMarking)
#include "test_marking.moc"
