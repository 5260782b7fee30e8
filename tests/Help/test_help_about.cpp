// The Help popup's two items: the built-in guide and the about box, and the
// program icon every window shows.
#include "EditFAV/TFormEditFAV.h"
#include "GuiTestSupport.h"
#include "Help/TFormAbout.h"
#include "Help/TFormHelp.h"
#include "Version.h"
#include "ui/ProgramIcon.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

using namespace guitest;

namespace {
template <class Window> QList<Window*> OpenWindows() {
    QList<Window*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(w); window && window->isVisible()) found << window;
    return found;
}
} // namespace

class TestHelpAbout : public QObject {
    Q_OBJECT
private slots:
    void helpItemOpensOneGuideWithTheTasks() {
        Env env;
        auto form = MakeForm(env);
        emit Widget<QMenu>(*form, "PM_Help")->aboutToShow();
        QVERIFY(Widget<QAction>(*form, "Help1")->isEnabled());
        Widget<QAction>(*form, "Help1")->trigger();
        QTRY_COMPARE(OpenWindows<TFormHelp>().size(), 1);
        QPointer<TFormHelp> guide = OpenWindows<TFormHelp>().first();
        QCOMPARE(guide->windowTitle(), QStringLiteral("orbitlist Help"));
        // Not modal: the main window stays usable beside it.
        QVERIFY(!guide->isModal());
        const QString text = guide->Text_Guide->toPlainText();
        for (const char* task : {"Open a file", "Find and edit entries", "Mark programs", "Move entries",
                                 "Import transponders", "Save", "Talk to the receiver"})
            QVERIFY2(text.contains(QString::fromUtf8(task)), task);
        QVERIFY(text.contains(QStringLiteral("Channel Data(256K)")));
        QVERIFY(text.contains(QStringLiteral("DownLoad From  *.ini")));

        // A second Help brings the same window back.
        Widget<QAction>(*form, "Help1")->trigger();
        QCOMPARE(OpenWindows<TFormHelp>(), QList<TFormHelp*>{guide.data()});
        QTest::mouseClick(guide->SB_Close, Qt::LeftButton);
        QTRY_VERIFY(guide.isNull());
    }

    void aboutItemShowsNameVersionAndLicence() {
        Env env;
        auto form = MakeForm(env);
        Widget<QAction>(*form, "About1")->trigger();
        QTRY_COMPARE(OpenWindows<TFormAbout>().size(), 1);
        QPointer<TFormAbout> about = OpenWindows<TFormAbout>().first();
        QCOMPARE(about->windowTitle(), QStringLiteral("About orbitlist"));
        QVERIFY(about->isModal());
        QCOMPARE(about->parentWidget(), form.get());
        QCOMPARE(about->Label_Name->text(), QStringLiteral("orbitlist"));
        QCOMPARE(about->Label_Version->text(), QStringLiteral("Version ") + QString::fromLatin1(orbitlist::kVersion));
        QVERIFY(about->Label_What->text().contains(QStringLiteral("DVB-S satellite receiver")));
        QVERIFY(about->Label_Licence->text().contains(QStringLiteral("GPL-2.0-or-later")));
        QVERIFY(!about->Image_Icon->pixmap().isNull());
        QTest::mouseClick(about->SB_OK, Qt::LeftButton);
        QTRY_VERIFY(about.isNull());
    }

    void everyWindowShowsTheProgramIcon() {
        ui::SetProgramIcon();
        const QIcon icon = QApplication::windowIcon();
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
        QCOMPARE(icon.pixmap(256).toImage().pixelColor(128, 20).alpha(), 255);

        Env env;
        auto form = MakeForm(env);
        TFormAbout about(form.get());
        TFormHelp guide(form.get());
        auto db = dbase::NewDatabase();
        TFormEditFAV fav(*db, form.get());
        for (QWidget* w : std::initializer_list<QWidget*>{form.get(), &about, &guide, &fav})
            QCOMPARE(w->windowIcon().cacheKey(), icon.cacheKey());
    }
};

QTEST_MAIN(TestHelpAbout)
#include "test_help_about.moc"
