// The compare window: opened from the File popup on a chosen file, grouped
// by section, filtered by the kind of change, refreshed and turned round.
#include "Compare/TFormCompare.h"
#include "GuiTestSupport.h"
#include "SampleData.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"
#include "ui/FileDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace guitest;

namespace {

// "Section (n)" followed by "kind: entry" for each child, as the tree shows them.
QStringList TreeTexts(const QTreeWidget* tree) {
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* group = tree->topLevelItem(i);
        lines << group->text(0);
        for (int c = 0; c < group->childCount(); ++c)
            lines << group->child(c)->text(0) + QStringLiteral(": ") + group->child(c)->text(1);
    }
    return lines;
}

} // namespace

class TestCompare : public QObject {
    Q_OBJECT
private slots:
    void comparesTheFileWithTheOpenListAsItStands() {
        Env env;
        auto form = MakeForm(env);
        const QString sample = WriteSample(env);
        OpenThroughMenu(*form, sample);
        // Unsaved edits count.
        QVERIFY(form->Doc().Edit("Mark lock", [](dbase::Database& db) {
            dbase::ToggleMarks(db, 3, dbase::kLockButton);
            dbase::SwapPrograms(db, 0, 1);
            return dbase::Status::Ok();
        }));
        ui::FileDialog::setNextFileName(sample);
        ChooseFileItem(*form, Widget<QAction>(*form, "CompareWithFile"));
        auto* window = form->findChild<TFormCompare*>();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->Label_Sides->text(), QStringLiteral("From the file sample.bin to the open list"));
        QCOMPARE(window->Label_Summary->text(), QStringLiteral("3 differences"));
        QCOMPARE(TreeTexts(window->TV_Diff),
                 (QStringList{"Programs (3)", "changed: tv 19.2 12480 V 1021 \"Kanal Sieben\" (NO.4): Lock 0 -> 1",
                              "moved: tv 19.2 11739 V 1007 \"Nordlicht HD\": position 2 -> 1 (NO.2 -> NO.1)",
                              "moved: tv 19.2 11361 H 1000 \"Alpen TV\": position 1 -> 2 (NO.1 -> NO.2)"}));

        window->CB_Kind->setCurrentIndex(3); // Changed
        QCOMPARE(window->Label_Summary->text(), QStringLiteral("1 of 3 differences"));
        QCOMPARE(window->TV_Diff->topLevelItemCount(), 1);
        window->CB_Kind->setCurrentIndex(1); // Added
        QCOMPARE(window->TV_Diff->topLevelItemCount(), 0);

        // A later edit shows after Refresh; Swap turns the comparison round.
        QVERIFY(form->Doc().Edit("Rename favourite 3", [](dbase::Database& db) {
            db.FavNames[2] = "Kids";
            return dbase::Status::Ok();
        }));
        window->CB_Kind->setCurrentIndex(0);
        window->SB_Refresh->click();
        QCOMPARE(window->Label_Summary->text(), QStringLiteral("4 differences"));
        window->SB_Swap->click();
        QVERIFY(window->Swapped());
        QCOMPARE(window->Label_Sides->text(), QStringLiteral("From the open list to the file sample.bin"));
        QCOMPARE(TreeTexts(window->TV_Diff).last(), QStringLiteral("changed: group 3 \"\": Name \"Kids\" -> \"\""));
        window->SB_Close->click();
        QTRY_VERIFY(!form->findChild<TFormCompare*>());
    }

    void theSameFileAndAFileThatCanNotBeOpened() {
        Env env;
        auto form = MakeForm(env);
        const QString sample = WriteSample(env);
        OpenThroughMenu(*form, sample);
        ui::FileDialog::setNextFileName(sample);
        ChooseFileItem(*form, Widget<QAction>(*form, "CompareWithFile"));
        auto* window = form->findChild<TFormCompare*>();
        QVERIFY(window);
        QCOMPARE(window->Label_Summary->text(), QStringLiteral("The files are the same."));
        QCOMPARE(window->TV_Diff->topLevelItemCount(), 0);
        window->close();
        QTRY_VERIFY(!form->findChild<TFormCompare*>());

        TakeShownTexts();
        ui::FileDialog::setNextFileName(env.path(QStringLiteral("none.bin")));
        ChooseFileItem(*form, Widget<QAction>(*form, "CompareWithFile"));
        QCOMPARE(TakeShownTexts(),
                 QStringList{QStringLiteral("Find an error, when opening this file,\n\nMaybe it inexistent!")});
        QVERIFY(!form->findChild<TFormCompare*>());
    }
};

QTEST_MAIN(TestCompare)
#include "test_compare.moc"
