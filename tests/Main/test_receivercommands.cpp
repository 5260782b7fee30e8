// Reading the database back from the receiver and writing the open file into
// it, from the main window's "Receiver" button, against the simulated loader
// on a pseudo-terminal.
#include "GuiTestSupport.h"
#include "LinkTestSupport.h"
#include "PtyLoader.h"

#include "base/Messages.h"
#include "ui/FileDialog.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

using namespace guitest;
using ui::MessageBox;

namespace {

class FixedPorts : public serial::PortListProvider {
public:
    QList<serial::PortDevice> devices;
    QList<serial::PortDevice> Devices() const override { return devices; }
};

// Presses Cancel on the communication dialog once it shows `text`.
void CancelWhenShown(const QString& text) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, text] {
        auto* dialog = qobject_cast<upgrade::TFormUpgrade*>(QApplication::activeModalWidget());
        if (!dialog) return;
        auto* state = dialog->findChild<QLineEdit*>(QStringLiteral("Edit_Start"));
        if (state && state->text() == text) {
            dialog->findChild<QToolButton*>(QStringLiteral("SB_Cancel"))->click();
            poll->deleteLater();
        }
    });
    poll->start(20);
}

} // namespace

class TestReceiverCommands : public QObject {
    Q_OBJECT
private slots:
    void init() {
        env_ = std::make_unique<Env>();
        loader_ = std::make_unique<sim::PtyLoader>();
        std::string error;
        if (!loader_->Start(&error)) QSKIP("no pseudo-terminal here");
        loader_->With([](sim::LoaderCore& core) {
            core.SetImage(true, linktest::SampleFile(true));
            core.SetImage(false, linktest::SampleFile(false));
        });
        ports_.devices = {{QStringLiteral("pty"), QString::fromStdString(loader_->DevicePath())}};
        form_ = MakeForm(*env_);
        upgrade::LinkOptions link;
        link.ports = &ports_;
        link.clock = std::make_shared<linktest::FastPauseClock>();
        form_->SetReceiverLinkOptions(link);
    }
    void cleanup() {
        if (form_) form_->Doc().SetDataChanged(false);
        form_.reset();
        loader_.reset();
        env_.reset();
    }

    void theReceiverMenuIsThereWithoutAFile() {
        QCOMPARE(Widget<QAction>(*form_, "TB_Receiver")->text(), QStringLiteral("Receiver"));
        emit Widget<QMenu>(*form_, "PM_Receiver")->aboutToShow();
        QVERIFY(Widget<QAction>(*form_, "ReadChannel")->isEnabled() &&
                Widget<QAction>(*form_, "ReadDefault")->isEnabled());
        QVERIFY(!Widget<QAction>(*form_, "WriteReceiver")->isEnabled());
        QCOMPARE(Widget<QMenu>(*form_, "ReadReceiver")->title(), QStringLiteral("Read from receiver"));
    }

    void aReadBackOpensTheReceivedFile() {
        const QString out = env_->path(QStringLiteral("received.bin"));
        ui::FileDialog::setNextFileName(out);
        form_->ReadDataClick(false);
        QCOMPARE(QFile(out).size(), qint64(131072));
        QVERIFY(form_->Doc().FileOpened());
        QVERIFY(!form_->Doc().Is256K());
        QCOMPARE(form_->CurrentFile(), out);
        QVERIFY(Widget<QLabel>(*form_, "LabelFileName")->text().endsWith(QStringLiteral("received.bin")));
    }

    void theOverwriteQuestionCanStopARead() {
        const QString out = WriteSample(*env_, QStringLiteral("keep.bin"));
        const QByteArray before = [&] {
            QFile f(out);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        ui::FileDialog::setNextFileName(out);
        MessageBox::setNextAnswer(MessageBox::Cancel);
        form_->ReadDataClick(true);
        QCOMPARE(TakeShownTexts(), QStringList{QString::fromLatin1(dbase::msg::OverwriteQuestion)});
        QFile f(out);
        f.open(QIODevice::ReadOnly);
        QCOMPARE(f.readAll(), before);
        QVERIFY(!form_->Doc().FileOpened());
    }

    // A pipe as the read-back file is refused before the question and before
    // the communication dialog: nothing would ever be written to it.
    void aReadBackIntoAPipeIsRefusedAtOnce() {
        const QString fifo = env_->path(QStringLiteral("fifo.img"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        bool dialogShown = false;
        QTimer::singleShot(0, [&dialogShown] {
            if (auto* dialog = qobject_cast<upgrade::TFormUpgrade*>(QApplication::activeModalWidget())) {
                dialogShown = true;
                dialog->findChild<QToolButton*>(QStringLiteral("SB_Cancel"))->click();
            }
        });
        ui::FileDialog::setNextFileName(fifo);
        MessageBox::setNextAnswer(MessageBox::Yes);
        form_->ReadDataClick(true);
        QCOMPARE(
            TakeShownTexts(),
            QStringList{
                QStringLiteral("The file can not be saved!\n\n%1 is a named pipe, not a regular file.").arg(fifo)});
        MessageBox::setNextAnswer(MessageBox::NoButton);
        QVERIFY(!dialogShown);
        QVERIFY(!form_->Doc().FileOpened());
    }

    void aWriteSavesUnsavedChangesFirst() {
        const QString path = WriteSample(*env_, QStringLiteral("mine.bin"));
        OpenThroughMenu(*form_, path);
        QVERIFY(form_->Doc().FileOpened());
        // An unsaved change: the file on disk is saved before it is sent.
        dbase::Document& doc = form_->Doc();
        QVERIFY(doc.Edit("Lock",
                         [](dbase::Database& db) {
                             db.FavLocks[7] = 1;
                             return dbase::Status::Ok();
                         })
                    .ok());
        loader_->With([](sim::LoaderCore& core) { core.SetImage(true, {}); });
        CancelWhenShown(QStringLiteral("Update Success!"));
        form_->WriteChannelDataClick();
        QVERIFY(!doc.DataChanged());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray saved = f.readAll();
        loader_->With([&](sim::LoaderCore& core) {
            const auto image = core.Image(true);
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size())), saved);
        });
    }

    void aBrokenFileIsNotSent() {
        const QString path = WriteSample(*env_, QStringLiteral("broken.bin"));
        OpenThroughMenu(*form_, path);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(100);
            f.write("damage");
        }
        form_->WriteChannelDataClick();
        QCOMPARE(TakeShownTexts(), QStringList{QString::fromLatin1(dbase::msg::FileNull)});
        loader_->With([](sim::LoaderCore& core) { QCOMPARE(core.BlocksReceived(), 0); });
    }

private:
    std::unique_ptr<Env> env_;
    std::unique_ptr<sim::PtyLoader> loader_;
    std::unique_ptr<TFormMain> form_;
    FixedPorts ports_;
};

QTEST_MAIN(TestReceiverCommands)
#include "test_receivercommands.moc"
