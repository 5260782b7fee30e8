// The single-instance guard: socket names, the hand-off from a later start to
// the running copy, and a socket left behind by a crash.
#include "GuiTestSupport.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "dbase/RecentFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using app::SingleInstance;

namespace {

// Sends from another thread, as a second process would, while this thread's
// event loop lets the running copy answer.
bool SendFromElsewhere(const QString& name, const QString& message) {
    auto result = std::async(std::launch::async,
                             [name, message] { return SingleInstance(name).SendToRunning(message); });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QTest::qWait(5);
    return result.get();
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
  private slots:
    void nameComesFromTheWindowClassAndTheUser() {
        const QString cls = QString::fromUtf8(kWindowClassName);
        QCOMPARE(SingleInstance::ServerNameFor(cls, QStringLiteral("alice-1000")),
                 QStringLiteral("ORBITLIST-1.0.0-alice-1000"));
        QVERIFY(SingleInstance::ServerNameFor(cls, QStringLiteral("bob")) !=
                SingleInstance::ServerNameFor(cls, QStringLiteral("alice")));
        QVERIFY(SingleInstance::CurrentUser().contains(QString::number(::getuid())));
        // Characters that have no place in a socket name are dropped.
        QCOMPARE(SingleInstance::ServerNameFor(cls, QStringLiteral("a/b c")),
                 QStringLiteral("ORBITLIST-1.0.0-ab-c"));
    }

    void messagesCarryAnyPath() {
        const QString path = QStringLiteral("/tmp/odd name\nwith \u00e9 & more.bin");
        QString back;
        QVERIFY(SingleInstance::IsOpenMessage(SingleInstance::OpenMessage(path), &back));
        QCOMPARE(back, path);
        QVERIFY(!SingleInstance::IsOpenMessage(SingleInstance::RaiseMessage(), &back));
        QVERIFY(!SingleInstance::IsOpenMessage(QStringLiteral("OPEN "), &back));
    }

    void nobodyRunningMeansNoHandOff() {
        QTemporaryDir dir;
        QVERIFY(!SingleInstance(dir.filePath("sock")).SendToRunning(SingleInstance::RaiseMessage(), 500));
    }

    void laterStartHandsItsJobOver() {
        QTemporaryDir dir;
        const QString name = dir.filePath("sock");
        SingleInstance first(name);
        QVERIFY(first.Listen());
        QSignalSpy received(&first, &SingleInstance::MessageReceived);
        QVERIFY(SendFromElsewhere(name, SingleInstance::RaiseMessage()));
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received[0][0].toString(), QStringLiteral("RAISE"));
        // A second copy can not take over the name while the first listens.
        SingleInstance second(name);
        QVERIFY(!second.Listen());
        QVERIFY(first.IsListening());
    }

    void staleSocketIsRemoved() {
        QTemporaryDir dir;
        const QString name = dir.filePath("sock");
        // A socket file nobody listens on, as a crashed copy leaves it.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        qstrncpy(addr.sun_path, QFile::encodeName(name).constData(), sizeof(addr.sun_path));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
        ::close(fd);
        QVERIFY(QFile::exists(name));
        QVERIFY(!SingleInstance(name).SendToRunning(SingleInstance::RaiseMessage(), 500));
        SingleInstance guard(name);
        QVERIFY(guard.Listen());
        QSignalSpy received(&guard, &SingleInstance::MessageReceived);
        QVERIFY(SendFromElsewhere(name, SingleInstance::RaiseMessage()));
        QTRY_COMPARE(received.size(), 1);
    }

    void handedOverFileOpensInTheRunningWindow() {
        guitest::Env env;
        auto form = guitest::MakeForm(env);
        const QString file = guitest::WriteSample(env, QStringLiteral("handed.bin"), false);
        QTemporaryDir dir;
        const QString name = dir.filePath("sock");
        SingleInstance guard(name);
        QVERIFY(guard.Listen());
        app::ConnectHandOff(guard, *form);
        form->showMinimized();
        QTRY_VERIFY(form->isMinimized());
        QVERIFY(SendFromElsewhere(name, SingleInstance::RaiseMessage()));
        QTRY_VERIFY(!form->isMinimized());
        QVERIFY(!form->Doc().FileOpened());
        QVERIFY(SendFromElsewhere(name, SingleInstance::OpenMessage(file)));
        QTRY_VERIFY(form->Doc().FileOpened());
        QVERIFY(!form->Doc().Is256K());
        QCOMPARE(form->CurrentFile(), file);
        QCOMPARE(dbase::ReadRecentFiles(QFile::encodeName(env.settingsFile()).toStdString())[0],
                 QFile::encodeName(file).toStdString());
    }
};

QTEST_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
