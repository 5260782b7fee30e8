// The main window's keyboard: the shortcuts of the File and Help items, as
// the popups show them and wherever the focus is; the Alt keys of the
// toolbar's popups; F2 and Enter in the grids; and nothing of it while a
// modal dialog is up.
#include "GuiTestSupport.h"

#include "Help/TFormHelp.h"
#include "base/Messages.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include <functional>

using namespace guitest;
using ui::FileDialog;
using ui::MessageBox;

namespace {

// The offscreen platform leaves no window active once the waiting form of
// an open or a save has gone; the keys reach the window when it is again.
void Activate(QWidget& w) {
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w)) qWarning("window not active");
}

QWidget* g_window = nullptr; // the main window of the running test

// Presses `key` where the focus is, as the user's keyboard would: in the
// focus widget, else in the modal dialog, else in the main window.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = QApplication::activeModalWidget();
    if (!target) target = g_window;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

// The class of the modal dialog that `act` opens (empty when none), which
// is then answered with `answer`.
QString DialogOf(const std::function<void()>& act, Qt::Key answer = Qt::Key_Escape) {
    QString name;
    // Polled, since the handler may run the event loop before its dialog is up.
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) return;
        poll.stop();
        name = QString::fromLatin1(d->metaObject()->className());
        // Straight to the dialog: the offscreen platform may leave the focus
        // in the main window, whose shortcuts would take the key first.
        QKeyEvent press(QEvent::KeyPress, answer, Qt::NoModifier);
        QCoreApplication::sendEvent(d, &press);
        // A dialog the answer did not close fails the test rather than hang it.
        if (d->isVisible()) {
            name += QStringLiteral(" (still open: %1)").arg(TakeShownTexts().join(QStringLiteral(" | ")));
            d->reject();
        }
    });
    poll.start();
    act();
    poll.stop();
    QCoreApplication::processEvents();
    return name;
}

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestShortcuts : public QObject {
    Q_OBJECT
private slots:
    void init() {
        env_ = std::make_unique<Env>();
        form_ = MakeForm(*env_);
        g_window = form_.get();
        Activate(*form_);
    }
    void cleanup() {
        if (auto* guide = form_->findChild<TFormHelp*>()) delete guide;
        form_->Doc().SetDataChanged(false);
        form_.reset();
        env_.reset();
    }

    void thePopupsShowTheShortcuts() {
        const std::pair<QAction*, QString> shown[] = {
            {Widget<QAction>(*form_, "OpenData"), "Ctrl+O"}, {Widget<QAction>(*form_, "OpenDefault"), "Ctrl+Shift+O"},
            {Widget<QAction>(*form_, "PMSave"), "Ctrl+S"},   {Widget<QAction>(*form_, "PMExit"), "Ctrl+Q"},
            {Widget<QAction>(*form_, "Help1"), "F1"},        {Widget<QAction>(*form_, "Change_Sat"), "F2"},
            {Widget<QAction>(*form_, "Change_Tp"), "F2"},    {Widget<QAction>(*form_, "Change_TV"), "F2"},
            {Widget<QAction>(*form_, "Change_Radio"), "F2"}, {Widget<QAction>(*form_, "EditUndo"), "Ctrl+Z"},
        };
        for (auto [action, key] : shown) QCOMPARE(action->shortcut().toString(), key);
        // Ctrl+Shift+S sits on the Save as item of the open file's kind.
        OpenThroughMenu(*form_, WriteSample(*env_, "default.bin", false), false);
        QCOMPARE(Widget<QAction>(*form_, "Save_Default")->shortcut().toString(), QStringLiteral("Ctrl+Shift+S"));
        QVERIFY(Widget<QAction>(*form_, "Save_Data")->shortcut().isEmpty());
        OpenThroughMenu(*form_, WriteSample(*env_, "channel.bin"));
        QCOMPARE(Widget<QAction>(*form_, "Save_Data")->shortcut().toString(), QStringLiteral("Ctrl+Shift+S"));
        QVERIFY(Widget<QAction>(*form_, "Save_Default")->shortcut().isEmpty());
    }

    void openAndSaveKeysWorkFromAnyWidget() {
        const QString channel = WriteSample(*env_, "channel.bin"), other = WriteSample(*env_, "default.bin", false);
        FileDialog::setNextFileName(channel);
        Press(Qt::Key_O, Qt::ControlModifier);
        QVERIFY(form_->Doc().FileOpened() && form_->Doc().Is256K());
        QCOMPARE(FileDialog::lastRequest().caption, QStringLiteral("Open File"));
        Activate(*form_);

        // With the focus in a grid, an edit saved by Ctrl+S.
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 2);
        Widget<StringGrid>(*form_, "SG_TV")->setFocus();
        MessageBox::setNextAnswer(MessageBox::Yes);
        form_->Delete_TvClick();
        QVERIFY(form_->Doc().DataChanged());
        const QByteArray before = Contents(channel);
        Press(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!form_->Doc().DataChanged());
        QVERIFY(Contents(channel) != before);
        Activate(*form_);
        const QStringList shown = TakeShownTexts();
        QVERIFY2(shown.contains(ui::MessageText(std::string(dbase::msg::DeleteProgQuestion))),
                 qPrintable(shown.join('|')));

        // Ctrl+Shift+S saves as a file of the open kind, Ctrl+Shift+O opens a Default data file.
        const QString copy = env_->path("copy.bin");
        FileDialog::setNextFileName(copy);
        Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(FileDialog::lastRequest().caption, QStringLiteral("Save As..."));
        QCOMPARE(QFileInfo(copy).size(), qint64(262144));
        QCOMPARE(form_->CurrentFile(), copy);
        Activate(*form_);
        FileDialog::setNextFileName(other);
        Press(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(form_->Doc().FileOpened() && !form_->Doc().Is256K());
        Activate(*form_);
        const QString small = env_->path("small.bin");
        FileDialog::setNextFileName(small);
        Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QFileInfo(small).size(), qint64(131072));
        QCOMPARE(TakeShownTexts(), QStringList());
    }

    void withoutAFileTheSaveKeysDoNothing() {
        FileDialog::setNextFileName(env_->path("never.bin"));
        Press(Qt::Key_S, Qt::ControlModifier);
        Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!QFile::exists(env_->path("never.bin")));
        QCOMPARE(TakeShownTexts(), QStringList());
        FileDialog::clearNextFileName();
    }

    void ctrlQAsksBeforeClosingAChangedFile() {
        OpenThroughMenu(*form_, WriteSample(*env_));
        Activate(*form_);
        form_->Doc().SetDataChanged(true);
        MessageBox::setNextAnswer(MessageBox::Cancel);
        Press(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(TakeShownTexts(), QStringList{ui::MessageText(std::string(dbase::msg::ExitQuestion))});
        QVERIFY(form_->isVisible());
        MessageBox::setNextAnswer(MessageBox::Yes);
        Press(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!form_->isVisible());
    }

    void f1AndTheAltKeysOpenHelpAndThePopups() {
        Press(Qt::Key_F1);
        auto* guide = form_->findChild<TFormHelp*>();
        QVERIFY(guide && guide->isVisible());
        guide->close();
        Activate(*form_);
        const std::pair<int, QMenu*> popups[] = {{Qt::Key_F, Widget<QMenu>(*form_, "PM_File")},
                                                 {Qt::Key_E, Widget<QMenu>(*form_, "PM_Edit")},
                                                 {Qt::Key_R, Widget<QMenu>(*form_, "PM_Receiver")},
                                                 {Qt::Key_H, Widget<QMenu>(*form_, "PM_Help")}};
        for (auto [key, menu] : popups) {
            Press(key, Qt::AltModifier);
            QTRY_VERIFY2(menu->isVisible(), qPrintable(menu->objectName()));
            // Under its toolbar button, not wherever the mouse is.
            QWidget* bar = Widget<QToolBar>(*form_, "ToolBar1");
            QVERIFY(menu->geometry().top() >= bar->mapToGlobal(QPoint(0, 0)).y() + 20);
            menu->hide();
            Activate(*form_);
        }
        QVERIFY(Widget<QAction>(*form_, "TB_File")->toolTip().contains(QStringLiteral("Alt+F")));
    }

    // F2 and Enter edit the current entry of the grid with the focus as its
    // double-click does; Enter in the dialog confirms it, Enter elsewhere
    // keeps its meaning.
    void f2AndEnterEditTheCurrentEntry() {
        OpenThroughMenu(*form_, WriteSample(*env_));
        Activate(*form_);
        const std::pair<StringGrid*, QString> grids[] = {{Widget<StringGrid>(*form_, "SG_TV"), "TFormEditProg"},
                                                         {Widget<StringGrid>(*form_, "SG_Radio"), "TFormEditProg"},
                                                         {Widget<StringGrid>(*form_, "SG_TP"), "TFormEditTP"},
                                                         {Widget<StringGrid>(*form_, "SG_Sat"), "TFormEditLnb"}};
        for (auto [grid, dialog] : grids) {
            ClickRow(grid, 2);
            grid->setFocus();
            QCOMPARE(DialogOf([] { Press(Qt::Key_F2); }), dialog);
            Activate(*form_);
            grid->setFocus();
            QCOMPARE(DialogOf([] { Press(Qt::Key_Return); }), dialog);
            Activate(*form_);
        }
        QCOMPARE(form_->Doc().StepCount(), size_t(0));

        // The satellite from its number column too; Enter in the dialog is its OK.
        ClickRow(Widget<StringGrid>(*form_, "SG_Sat"), 2);
        Widget<StringGrid>(*form_, "SG_Sat")->setFocus();
        Press(Qt::Key_Left);
        QCOMPARE(Widget<StringGrid>(*form_, "SG_Sat")->currentIndex().column(), 0);
        QCOMPARE(DialogOf([] { Press(Qt::Key_Enter, Qt::KeypadModifier); }, Qt::Key_Return),
                 QStringLiteral("TFormEditLnb"));
        // OK with nothing changed: the data is as it was, but marked changed as OK does.
        QVERIFY(form_->Doc().DataChanged());

        // An unbound row, the lead row of the satellites and the favourite list open nothing.
        Activate(*form_);
        Widget<StringGrid>(*form_, "SG_TV")->SetRow(Widget<StringGrid>(*form_, "SG_TV")->RowCount() - 1);
        Widget<StringGrid>(*form_, "SG_TV")->setFocus();
        if (Widget<StringGrid>(*form_, "SG_TV")->SlotOfRow(Widget<StringGrid>(*form_, "SG_TV")->Row()) < 0)
            QCOMPARE(DialogOf([] { Press(Qt::Key_F2); }), QString());
        Widget<StringGrid>(*form_, "SG_Sat")->SetRow(0);
        Widget<StringGrid>(*form_, "SG_Sat")->setFocus();
        QCOMPARE(DialogOf([] { Press(Qt::Key_Return); }), QString());
        Widget<QListWidget>(*form_, "LB_FAV")->setCurrentRow(0);
        Widget<QListWidget>(*form_, "LB_FAV")->setFocus();
        QCOMPARE(DialogOf([] { Press(Qt::Key_Return); }), QString());
    }

    void noShortcutActsWhileAModalDialogIsUp() {
        const QString path = WriteSample(*env_);
        OpenThroughMenu(*form_, path);
        Activate(*form_);
        ClickRow(Widget<StringGrid>(*form_, "SG_TV"), 2);
        form_->Doc().SetDataChanged(true);
        const QByteArray before = Contents(path);
        QDialog dialog(form_.get());
        bool pressed = false;
        QTimer::singleShot(0, [&] {
            Activate(dialog);
            for (auto [key, modifiers] :
                 std::initializer_list<std::pair<int, Qt::KeyboardModifiers>>{{Qt::Key_S, Qt::ControlModifier},
                                                                              {Qt::Key_Q, Qt::ControlModifier},
                                                                              {Qt::Key_F, Qt::AltModifier},
                                                                              {Qt::Key_F1, Qt::NoModifier},
                                                                              {Qt::Key_F2, Qt::NoModifier}}) {
                Press(key, modifiers);
                QTest::keyClick(form_.get(), static_cast<Qt::Key>(key), modifiers);
            }
            pressed = true;
            dialog.reject();
        });
        dialog.exec();
        QVERIFY(pressed);
        QVERIFY(form_->Doc().DataChanged());
        QCOMPARE(Contents(path), before);
        QVERIFY(form_->isVisible());
        QVERIFY(!Widget<QMenu>(*form_, "PM_File")->isVisible());
        QVERIFY(!form_->findChild<TFormHelp*>());
        QCOMPARE(TakeShownTexts(), QStringList());
    }

private:
    std::unique_ptr<Env> env_;
    std::unique_ptr<TFormMain> form_;
};

QTEST_MAIN(TestShortcuts)
#include "test_shortcuts.moc"
