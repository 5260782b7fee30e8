// Opening, saving and the recent-file list through the main window, with the
// dialogs answered by the tests.
#include "EditProg/TFormEditProg.h"
#include "GuiTestSupport.h"
#include "Main/Pictures.h"
#include "SampleData.h"
#include "TestUtil.h"
#include "format/DataFile.h"
#include "settings/RecentFiles.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace guitest;
using ui::FileDialog;
using ui::MessageBox;

namespace {

const QString kMissing = QStringLiteral("Find an error, when opening this file,\n\nMaybe it inexistent!");
const QString k256 = QStringLiteral("File length can not be matched!\n\nPlease select the 256K normal data!");
const QString k128 = QStringLiteral("File length can not be matched!\n\nPlease select the 128K default data!");

std::string Native(const QString& p) { return QFile::encodeName(p).toStdString(); }

dbase::RecentFileList Recent(const Env& env) { return dbase::ReadRecentFiles(Native(env.settingsFile())); }

void SetRecent(const Env& env, const QString& a, const QString& b, const QString& c) {
    QVERIFY(dbase::WriteRecentFiles(Native(env.settingsFile()), {Native(a), Native(b), Native(c)}));
}

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ExpectNoFileOpen(TFormMain& form) {
    QVERIFY(!form.Doc().FileOpened());
    QVERIFY(Widget<PictureView>(form, "ImageMain")->isVisible());
    QVERIFY(!Widget<QWidget>(form, "PanelMain")->isVisible());
    QCOMPARE(form.Db().SatCount, uint16_t(0));
    QCOMPARE(form.Db().ProgCount, uint16_t(0));
}

// Chooses recent-file item `index` after opening the File menu.
void ChooseRecent(TFormMain& form, int index) {
    emit Widget<QMenu>(form, "PM_File")->aboutToShow();
    QAction* items[] = {Widget<QAction>(form, "LastFileName1"), Widget<QAction>(form, "LastFileName2"),
                        Widget<QAction>(form, "LastFileName3")};
    items[index]->trigger();
}

} // namespace

class TestFileWorkflow : public QObject {
    Q_OBJECT
private slots:
    void openChannelFile() {
        Env env;
        auto form = MakeForm(env);
        const QString path = WriteSample(env, QStringLiteral("chan & more.bin"));
        OpenThroughMenu(*form, path);
        QVERIFY(form->Doc().FileOpened());
        QVERIFY(form->Doc().Is256K());
        QVERIFY(!form->Doc().DataChanged());
        QCOMPARE(form->FileSizeExpected(), 262144u);
        QCOMPARE(form->CurrentFile(), path);
        QCOMPARE(Widget<QLabel>(*form, "LabelFileName")->text(),
                 QStringLiteral("The opened file name:  chan & more.bin"));
        QVERIFY(Widget<QWidget>(*form, "Panel_Top")->isVisible());
        QVERIFY(Widget<QWidget>(*form, "PanelMain")->isVisible());
        QVERIFY(!Widget<PictureView>(*form, "ImageMain")->isVisible());
        QVERIFY(TakeShownTexts().isEmpty());
        // The dialog as asked for.
        QCOMPARE(FileDialog::lastRequest().caption, QStringLiteral("Open File"));
        QCOMPARE(FileDialog::lastRequest().defaultSuffix, QStringLiteral("BIN"));
        QCOMPARE(FileDialog::lastRequest().filter,
                 QStringLiteral("Channel files (*.bin *.BIN *.img *.IMG)|*.bin;*.BIN;*.img;*.IMG|"
                                "Settings Files(*.img)|*.img|All File(*.*)|*.*"));
        // The working file holds the image; the waiting form is gone.
        QCOMPARE(QFileInfo(env.workFile()).size(), qint64(208896));
        QVERIFY(!ui::OverlayVisible());
        QCOMPARE(Recent(env), (dbase::RecentFileList{Native(path), "", ""}));
        // A menu caption shows the "&" of a file name as it is.
        emit Widget<QMenu>(*form, "PM_File")->aboutToShow();
        QCOMPARE(Widget<QAction>(*form, "LastFileName1")->text(), QString(path).replace("&", "&&"));
    }

    void openDefaultFile() {
        Env env;
        auto form = MakeForm(env);
        const QString path = WriteSample(env, QStringLiteral("default.bin"), false);
        OpenThroughMenu(*form, path, false);
        QVERIFY(form->Doc().FileOpened());
        QVERIFY(!form->Doc().Is256K());
        QCOMPARE(form->FileSizeExpected(), 131072u);
    }

    void wrongSizesAreRefused() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env, QStringLiteral("small.bin"), false), true);
        QCOMPARE(TakeShownTexts(), QStringList{k256});
        ExpectNoFileOpen(*form);
        OpenThroughMenu(*form, WriteSample(env, QStringLiteral("large.bin"), true), false);
        QCOMPARE(TakeShownTexts(), QStringList{k128});
        ExpectNoFileOpen(*form);
        QCOMPARE(Recent(env), (dbase::RecentFileList{"", "", ""}));
    }

    void missingFileIsRefused() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, env.path(QStringLiteral("nowhere.bin")));
        QCOMPARE(TakeShownTexts(), QStringList{kMissing});
        QCOMPARE(MessageBox::shown().size(), 0);
        ExpectNoFileOpen(*form);
    }

    void brokenFilesAreRefusedAndTheWaitingFormNeverCoversTheBox() {
        Env env;
        auto form = MakeForm(env);
        // A changed byte in the compressed stream fails its block checksum.
        const QString path = WriteSample(env, QStringLiteral("broken.bin"));
        QByteArray bytes = Contents(path);
        bytes[100] = static_cast<char>(bytes[100] ^ 0x5A);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        // A file of zeros passes the checksums and fails to decompress.
        const QString zeros = WriteZeros(env.path(QStringLiteral("zeros.bin")), 262144);
        OpenThroughMenu(*form, path);
        OpenThroughMenu(*form, zeros);
        QCOMPARE(MessageBox::shown().size(), 2);
        QCOMPARE(MessageBox::shown()[0].text, QStringLiteral("File is null!"));
        QCOMPARE(MessageBox::shown()[1].text, QStringLiteral("Decompress Error!"));
        for (const auto& shown : MessageBox::shown()) {
            QCOMPARE(shown.kind, MessageBox::Error);
            // The waiting form was closed before the box came up.
            QVERIFY(!shown.overlayHidden);
        }
        QVERIFY(!ui::OverlayVisible());
        MessageBox::clearShown();
        ExpectNoFileOpen(*form);
    }

    void failedOpenDropsTheImageThatWasOpen() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        QVERIFY(form->Doc().FileOpened());
        OpenThroughMenu(*form, WriteZeros(env.path(QStringLiteral("zeros.bin")), 262144));
        TakeShownTexts();
        ExpectNoFileOpen(*form);
        QCOMPARE(Widget<StringGrid>(*form, "SG_TP")->RowCount(), 2);
    }

    void cancelledDialogChangesNothing() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        emit Widget<QMenu>(*form, "PM_File")->aboutToShow();
        Widget<QAction>(*form, "OpenDefault")->trigger(); // nothing scripted: the dialog is cancelled
        QVERIFY(form->Doc().FileOpened());
        QVERIFY(form->Doc().Is256K());
        QVERIFY(TakeShownTexts().isEmpty());
    }

    void recentListAfterOpening() {
        Env env;
        auto form = MakeForm(env);
        const QString a = WriteSample(env, "a.bin"), b = WriteSample(env, "b.bin"), c = WriteSample(env, "c.bin");
        const QString n = WriteSample(env, "n.bin");
        SetRecent(env, a, b, c);
        OpenThroughMenu(*form, n);
        QCOMPARE(Recent(env), (dbase::RecentFileList{Native(n), Native(a), Native(b)}));
        // A file already listed leaves the order.
        OpenThroughMenu(*form, a);
        QCOMPARE(Recent(env), (dbase::RecentFileList{Native(n), Native(a), Native(b)}));
        // Opening from outside the menu does not write over entries it never read.
        TFormMain fresh(env.files());
        fresh.OpenFileFromOutside(c);
        QCOMPARE(Recent(env), (dbase::RecentFileList{Native(c), Native(n), Native(a)}));
    }

    void recentFileKindComesFromItsSize() {
        Env env;
        auto form = MakeForm(env);
        const QString chan = WriteSample(env, "chan.bin", true);
        const QString def = WriteSample(env, "def.bin", false);
        const QString tiny = WriteZeros(env.path("tiny.bin"), 1000);
        SetRecent(env, chan, def, tiny);
        ChooseRecent(*form, 0);
        QVERIFY(form->Doc().FileOpened() && form->Doc().Is256K());
        QCOMPARE(form->CurrentFile(), chan);
        ChooseRecent(*form, 1);
        QVERIFY(form->Doc().FileOpened() && !form->Doc().Is256K());
        ChooseRecent(*form, 2);
        QCOMPARE(TakeShownTexts(), QStringList{k256});
        ExpectNoFileOpen(*form);
        QCOMPARE(Recent(env), (dbase::RecentFileList{Native(chan), Native(def), Native(tiny)}));
    }

    void missingRecentFileIsDroppedFromTheList() {
        Env env;
        auto form = MakeForm(env);
        const QString a = WriteSample(env, "a.bin"), b = WriteSample(env, "b.bin");
        const QString gone = env.path("gone.bin");
        OpenThroughMenu(*form, a);
        SetRecent(env, a, b, gone);
        ChooseRecent(*form, 2);
        QCOMPARE(TakeShownTexts(), QStringList{kMissing});
        QCOMPARE(Recent(env), (dbase::RecentFileList{Native(a), Native(b), ""}));
        // The open image stays, and so does the file Save writes to.
        QVERIFY(form->Doc().FileOpened());
        QCOMPARE(form->CurrentFile(), a);

        SetRecent(env, gone, a, b);
        ChooseRecent(*form, 0);
        QCOMPARE(Recent(env), (dbase::RecentFileList{Native(a), Native(b), ""}));
        SetRecent(env, a, gone, b);
        ChooseRecent(*form, 1);
        QCOMPARE(Recent(env), (dbase::RecentFileList{Native(a), Native(b), ""}));
        TakeShownTexts();
        // An empty item does nothing.
        ChooseRecent(*form, 2);
        QVERIFY(TakeShownTexts().isEmpty());
        QVERIFY(form->Doc().FileOpened());
    }

    void recentItemsUseTheNamesReadWhenTheMenuOpened() {
        Env env;
        auto form = MakeForm(env);
        const QString a = WriteSample(env, "a.bin"), b = WriteSample(env, "b.bin");
        SetRecent(env, a, "", "");
        emit Widget<QMenu>(*form, "PM_File")->aboutToShow();
        SetRecent(env, b, "", "");
        Widget<QAction>(*form, "LastFileName1")->trigger();
        QCOMPARE(form->CurrentFile(), a);
    }

    void saveWritesTheCurrentFileAndClearsTheChange() {
        Env env;
        auto form = MakeForm(env);
        const QString path = WriteSample(env, "s.bin", false);
        OpenThroughMenu(*form, path, false);
        // Edit a name in both forms, as the editors do.
        dbase::Document& doc = form->Doc();
        QVERIFY(doc.Edit("Rename",
                         [](dbase::Database& db) {
                             db.Sat.rec[0][17] = 'X';
                             db.Sat.data[0].Name[0] = 'X';
                             return dbase::Status::Ok();
                         })
                    .ok());
        QVERIFY(doc.DataChanged());
        emit Widget<QMenu>(*form, "PM_File")->aboutToShow();
        Widget<QAction>(*form, "PMSave")->trigger();
        QVERIFY(TakeShownTexts().isEmpty());
        QVERIFY(!doc.DataChanged());
        QCOMPARE(QFileInfo(path).size(), qint64(131072));
        auto reread = dbase::NewDatabase();
        QVERIFY(dbase::OpenImageFile(Native(path), false, *reread));
        QCOMPARE(QString::fromStdString(reread->Sat.data[0].Name), QStringLiteral("Xstra 19.2E"));
        // Save does not reopen: the selection and the views stay.
        QVERIFY(form->Doc().FileOpened());
    }

    void failedSaveIsReportedAndKeepsTheChange() {
        Env env;
        auto form = MakeForm(env);
        QDir(env.path("")).mkpath("sub");
        const QString path = WriteSample(env, "sub/s.bin");
        OpenThroughMenu(*form, path);
        QVERIFY(QDir(env.path("sub")).removeRecursively());
        form->Doc().SetDataChanged(true);
        form->PMSaveClick();
        const QStringList texts = TakeShownTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith("The file can not be saved!\n\n"), qPrintable(texts[0]));
        QVERIFY(form->Doc().DataChanged());
        QVERIFY(!ui::OverlayVisible());
    }

    void saveAsDefaultOfAChannelImage() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env, "chan.bin"));
        const QString target = env.path("out.bin");
        FileDialog::setNextFileName(target);
        emit Widget<QMenu>(*form, "PM_File")->aboutToShow();
        Widget<QAction>(*form, "Save_Default")->trigger();
        QCOMPARE(FileDialog::lastRequest().caption, QStringLiteral("Save As..."));
        QVERIFY(FileDialog::lastRequest().save);
        QVERIFY(TakeShownTexts().isEmpty()); // a new file: no overwrite question
        QCOMPARE(QFileInfo(target).size(), qint64(131072));
        QVERIFY(form->Doc().FileOpened());
        QVERIFY(!form->Doc().Is256K());
        QCOMPARE(form->CurrentFile(), target);
        QCOMPARE(Widget<QLabel>(*form, "LabelFileName")->text(), QStringLiteral("The opened file name:  out.bin"));
        // The following Save writes a Default data file.
        QFile::remove(target);
        form->Doc().SetDataChanged(true);
        form->PMSaveClick();
        QCOMPARE(QFileInfo(target).size(), qint64(131072));
        QCOMPARE(Recent(env)[0], Native(target));
    }

    void overwriteQuestion() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env, "chan.bin"));
        const QString target = WriteZeros(env.path("existing.bin"), 5);
        const QString label = Widget<QLabel>(*form, "LabelFileName")->text();
        form->Doc().SetDataChanged(true);

        FileDialog::setNextFileName(target);
        MessageBox::setNextAnswer(MessageBox::Cancel);
        form->Save_DataClick(true);
        QCOMPARE(TakeShownTexts(), QStringList{"The file has existed, are you sure to cover it?"});
        QCOMPARE(QFileInfo(target).size(), qint64(5));
        QCOMPARE(Widget<QLabel>(*form, "LabelFileName")->text(), label);
        QVERIFY(form->Doc().DataChanged());
        QCOMPARE(MessageBox::shown().size(), 0);

        FileDialog::setNextFileName(target);
        MessageBox::setNextAnswer(MessageBox::Yes);
        form->Save_DataClick(true);
        QCOMPARE(TakeShownTexts().size(), 1);
        QCOMPARE(QFileInfo(target).size(), qint64(262144));
        QVERIFY(!form->Doc().DataChanged());
        QCOMPARE(form->CurrentFile(), target);
    }

    void failedSaveAsKeepsTheOpenFile() {
        Env env;
        auto form = MakeForm(env);
        const QString path = WriteSample(env, "chan.bin");
        OpenThroughMenu(*form, path);
        const QString label = Widget<QLabel>(*form, "LabelFileName")->text();
        form->Doc().SetDataChanged(true);
        FileDialog::setNextFileName(env.path("no/such/folder/x.bin"));
        form->Save_DataClick(false);
        const QStringList texts = TakeShownTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts[0].startsWith("The file can not be saved!"));
        QVERIFY(form->Doc().DataChanged());
        QVERIFY(form->Doc().FileOpened());
        QVERIFY(form->Doc().Is256K());
        QCOMPARE(form->CurrentFile(), path);
        QCOMPARE(Widget<QLabel>(*form, "LabelFileName")->text(), label);
    }

    void unsavedChangesAreConfirmedBeforeAnotherOpen() {
        Env env;
        auto form = MakeForm(env);
        const QString a = WriteSample(env, "a.bin"), b = WriteSample(env, "b.bin", false);
        OpenThroughMenu(*form, a);
        form->Doc().SetDataChanged(true);

        // Cancel: no dialog, nothing opened, the edits stay.
        FileDialog::setNextFileName(b);
        MessageBox::setNextAnswer(MessageBox::Cancel);
        emit Widget<QMenu>(*form, "PM_File")->aboutToShow();
        Widget<QAction>(*form, "OpenDefault")->trigger();
        QCOMPARE(TakeShownTexts(), QStringList{"Setting not saved, open another file anyway?"});
        QVERIFY(form->Doc().DataChanged());
        QVERIFY(form->Doc().Is256K());
        QCOMPARE(form->CurrentFile(), a);
        FileDialog::clearNextFileName(); // the dialog never came up

        // The same for a recent file, a handed-over file and a dropped one.
        SetRecent(env, b, "", "");
        ChooseRecent(*form, 0);
        form->OpenFileFromOutside(b);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(b)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
        QCOMPARE(TakeShownTexts().size(), 3);
        QCOMPARE(form->CurrentFile(), a);
        QVERIFY(form->Doc().DataChanged());

        // Yes: the other file opens.
        MessageBox::setNextAnswer(MessageBox::Yes);
        form->OpenFileFromOutside(b);
        QCOMPARE(TakeShownTexts().size(), 1);
        QVERIFY(!form->Doc().DataChanged());
        QVERIFY(!form->Doc().Is256K());
        QCOMPARE(form->CurrentFile(), b);
    }

    void droppedFileOpensAsARecentFileWould() {
        Env env;
        auto form = MakeForm(env);
        const QString def = WriteSample(env, "dropped.bin", false);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(def)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
        QVERIFY(form->Doc().FileOpened());
        QVERIFY(!form->Doc().Is256K());
        QCOMPARE(Widget<QLabel>(*form, "LabelFileName")->text(), QStringLiteral("The opened file name:  dropped.bin"));
        // Something that is no local file is not taken.
        QMimeData text;
        text.setText("hello");
        QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        other.setAccepted(false);
        QApplication::sendEvent(form.get(), &other);
        QVERIFY(!other.isAccepted());
    }

    void closeQuestionAndWorkFile() {
        Env env;
        {
            auto form = MakeForm(env);
            QVERIFY(form->close()); // no file, no question
            QVERIFY(TakeShownTexts().isEmpty());
        }
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        QVERIFY(QFile::exists(env.workFile()));
        form->Doc().SetDataChanged(true);
        QVERIFY(!form->close()); // Cancel by default
        QCOMPARE(TakeShownTexts(), QStringList{"Setting not saved, exit anyway?"});
        QVERIFY(form->isVisible());
        QVERIFY(QFile::exists(env.workFile()));
        MessageBox::setNextAnswer(MessageBox::Yes);
        Widget<QAction>(*form, "TB_Exit")->trigger();
        QVERIFY(!form->isVisible());
        QCOMPARE(TakeShownTexts().size(), 1);
        QVERIFY(!QFile::exists(env.workFile()));
    }

    // A file handed over while the program editor is open waits for the
    // editor and its command to end; OK then writes into the file it was
    // opened on, and of two files handed over the later opens.
    void handOffWaitsUntilTheWindowIsIdle() {
        Env env;
        auto form = MakeForm(env);
        const QString a = WriteSample(env, "a.bin");
        const QString b = WriteDataFile(*sample::BuildFull(2), env.path("b.bin"), false);
        const QString c = WriteDataFile(*sample::BuildFull(3), env.path("c.bin"), true);
        OpenThroughMenu(*form, a);
        ClickRow(Widget<StringGrid>(*form, "SG_TV"), 2);
        const int slot = form->SelectedTv();
        QVERIFY(slot >= 0);
        bool stillA = false, accepted = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TFormEditProg*>(QApplication::activeModalWidget());
            if (!dialog) return;
            form->OpenFileFromOutside(b); // as a second start, a drop or the command line would
            form->OpenFileFromOutside(c);
            stillA = form->CurrentFile() == a && form->Doc().Is256K();
            dialog->SB_OKClick();
            accepted = dialog->EditAccepted;
        });
        MessageBox::setNextAnswer(MessageBox::Yes); // "open another file anyway?"
        form->SG_TVDblClick();
        QVERIFY(stillA);
        QVERIFY(accepted);
        QCOMPARE(form->CurrentFile(), a); // the command ended on the file it began with
        QTRY_COMPARE(form->CurrentFile(), c);
        QCOMPARE(TakeShownTexts(), QStringList{"Setting not saved, open another file anyway?"});
        // The newest hand-off opened untouched; the one before it never opened.
        auto expected = dbase::NewDatabase();
        QVERIFY(dbase::OpenImageFile(Native(c), true, *expected));
        QVERIFY(form->Db().Prog.rec == expected->Prog.rec);
        QVERIFY(!form->Doc().DataChanged());
        QCOMPARE(Recent(env)[0], Native(c));
        QCOMPARE(Recent(env)[1], Native(a));
        QTest::qWait(250);
        QCOMPARE(form->CurrentFile(), c);
    }

    // Pipes, devices and folders: refused with a box naming them, before
    // anything is opened; the open image and its changes stay.
    void filesThatAreNoRegularFilesAreRefused() {
        Env env;
        auto form = MakeForm(env);
        const QString path = WriteSample(env, "chan.bin");
        OpenThroughMenu(*form, path);
        const QString fifo = env.path("fifo.bin");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QString refusal = QStringLiteral("The file can not be saved!\n\n%1 is a named pipe, not a regular file.");

        form->Doc().SetDataChanged(true);
        FileDialog::setNextFileName(fifo);
        MessageBox::setNextAnswer(MessageBox::Yes);
        form->Save_DataClick(true);
        QCOMPARE(TakeShownTexts(), QStringList{refusal.arg(fifo)});
        MessageBox::setNextAnswer(MessageBox::NoButton);
        QVERIFY(form->Doc().DataChanged() && form->Doc().FileOpened());
        QCOMPARE(form->CurrentFile(), path);

        // The file Save writes to turned into a pipe.
        QFile::remove(path);
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        form->PMSaveClick();
        QCOMPARE(TakeShownTexts(), QStringList{refusal.arg(path)});
        QVERIFY(form->Doc().DataChanged() && form->Doc().FileOpened());
        QVERIFY(!ui::OverlayVisible());

        form->Doc().SetDataChanged(false);
        OpenThroughMenu(*form, fifo);
        QCOMPARE(
            TakeShownTexts(),
            QStringList{
                QStringLiteral("The file can not be opened!\n\n%1 is a named pipe, not a regular file.").arg(fifo)});
        OpenThroughMenu(*form, env.path(""));
        QCOMPARE(TakeShownTexts().size(), 1);
    }

    // A settings file that can not be written says so in the status line,
    // without a box, and once on stderr however many writes fail.
    void aSettingsProblemIsToldOnce() {
        Env env;
        MainWindowFiles files = env.files();
        files.settingsFile = env.path("no-such-folder/ORBITLIST.ini");
        TFormMain form(files);
        const QString err = env.path("stderr.txt");
        const int saved = ::dup(2);
        const int log = ::open(QFile::encodeName(err).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(log, 2);
        form.OpenFileFromOutside(WriteSample(env, "a.bin"));
        form.OpenFileFromOutside(WriteSample(env, "b.bin"));
        ::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);
        ::close(log);
        QCOMPARE(TakeShownTexts(), QStringList());
        QVERIFY2(
            Widget<QLabel>(form, "StatusNote")
                ->text()
                .startsWith("The list of recent files can not be kept: The file can not be saved! " + env.path("")),
            qPrintable(Widget<QLabel>(form, "StatusNote")->text()));
        QVERIFY(form.Doc().FileOpened());
        const QList<QByteArray> lines = Contents(err).trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].startsWith("orbitlist: The list of recent files can not be kept: The file can not be saved!"));
    }

    // Without a private folder for the working file no file is opened.
    void withoutAPrivateFolderNothingIsOpened() {
        Env env;
        const QString path = WriteSample(env, "a.bin");
        MainWindowFiles files = env.files();
        files.workFile.clear();
        TFormMain form(files);
        testutil::EnvVar data("XDG_DATA_HOME", nullptr), home("HOME", nullptr), run("XDG_RUNTIME_DIR", nullptr);
        form.OpenFileFromOutside(path);
        const QStringList texts = TakeShownTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith("The file can not be opened!\n\nThere is no private folder"),
                 qPrintable(texts[0]));
        QVERIFY(!form.Doc().FileOpened());
    }

    void closingWithoutChangesAsksNothing() {
        Env env;
        auto form = MakeForm(env);
        OpenThroughMenu(*form, WriteSample(env));
        emit Widget<QMenu>(*form, "PM_File")->aboutToShow();
        Widget<QAction>(*form, "PMExit")->trigger();
        QVERIFY(!form->isVisible());
        QVERIFY(TakeShownTexts().isEmpty());
        QVERIFY(!QFile::exists(env.workFile()));
    }
};

QTEST_MAIN(TestFileWorkflow)
#include "test_fileworkflow.moc"
