// The single-instance guard: socket names, the hand-off from a later start to
// the running copy, and a socket left behind by a crash.
#include "GuiTestSupport.h"
#include "TestUtil.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "settings/RecentFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using app::SingleInstance;

namespace {

// Sends from another thread, as a second process would, while this thread's
// event loop lets the running copy answer.
bool SendFromElsewhere(const QString& name, const QString& message) {
    auto result =
        std::async(std::launch::async, [name, message] { return SingleInstance(name).SendToRunning(message); });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) QTest::qWait(5);
    return result.get();
}

// A socket listening at `path`, made with the system's calls only (usable
// in a forked child).
int ListeningSocket(const QByteArray& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    qstrncpy(addr.sun_path, path.constData(), sizeof(addr.sun_path));
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || ::listen(fd, 1) != 0) return -1;
    return fd;
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
        QCOMPARE(SingleInstance::ServerNameFor(cls, QStringLiteral("a/b c")), QStringLiteral("ORBITLIST-1.0.0-ab-c"));
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

    void theSocketLivesInThePrivateRuntimeFolder() {
        QTemporaryDir run;
        QFile::setPermissions(run.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        testutil::EnvVar runtime("XDG_RUNTIME_DIR", QFile::encodeName(run.path()).constData());
        QCOMPARE(SingleInstance::SocketPathFor(QStringLiteral("ORBITLIST-1.0.0-u")),
                 run.filePath(QStringLiteral("ORBITLIST-1.0.0-u")));
        SingleInstance guard(SingleInstance::SocketPathFor(QStringLiteral("ORBITLIST-1.0.0-u")));
        QVERIFY(guard.Listen());
        QSignalSpy received(&guard, &SingleInstance::MessageReceived);
        QVERIFY(SendFromElsewhere(guard.serverName(), SingleInstance::RaiseMessage()));
        QTRY_COMPARE(received.size(), 1);
    }

    // Another user listening where the editor would: the start tells it
    // nothing (least of all the path of the file to open) and opens its own window.
    void aListenerOfAnotherUserIsToldNothing() {
        if (::geteuid() != 0) QSKIP("needs root to act as a second user");
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::WriteOther | QFile::ExeOther);
        const QByteArray name = QFile::encodeName(dir.filePath("sock"));
        int ready[2], told[2];
        QVERIFY(::pipe(ready) == 0 && ::pipe(told) == 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (::setgid(testutil::kNobody) != 0 || ::setuid(testutil::kNobody) != 0) ::_exit(99);
            ::alarm(10);
            const int fd = ListeningSocket(name);
            if (fd < 0) ::_exit(98);
            (void)!::write(ready[1], "r", 1);
            const int c = ::accept(fd, nullptr, nullptr);
            char buffer[512];
            const ssize_t n = ::read(c, buffer, sizeof buffer);
            (void)!::write(c, "OK\n", 3); // answered as the editor would
            if (n > 0) (void)!::write(told[1], buffer, static_cast<size_t>(n));
            ::_exit(0);
        }
        ::close(told[1]);
        char r = 0;
        QCOMPARE(::read(ready[0], &r, 1), ssize_t(1));
        SingleInstance start(QFile::decodeName(name));
        QVERIFY(!start.SendToRunning(SingleInstance::OpenMessage(QStringLiteral("/home/u/private.bin")), 2000));
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        char buffer[512];
        QCOMPARE(::read(told[0], buffer, sizeof buffer), ssize_t(0));
        ::close(told[0]);
        ::close(ready[0]);
        ::close(ready[1]);
    }

    // A start of another user that reaches the running editor's socket is
    // neither answered nor obeyed.
    void aStartOfAnotherUserIsIgnored() {
        if (::geteuid() != 0) QSKIP("needs root to act as a second user");
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::ExeOther);
        const QString name = dir.filePath("sock");
        SingleInstance guard(name);
        QVERIFY(guard.Listen());
        ::chmod(QFile::encodeName(name).constData(), 0777); // reachable by anybody, as a shared name would be
        QSignalSpy received(&guard, &SingleInstance::MessageReceived);
        const QByteArray path = QFile::encodeName(name);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (::setgid(testutil::kNobody) != 0 || ::setuid(testutil::kNobody) != 0) ::_exit(99);
            ::alarm(10);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            qstrncpy(addr.sun_path, path.constData(), sizeof(addr.sun_path));
            if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) ::_exit(98);
            const QByteArray message = SingleInstance::OpenMessage(QStringLiteral("/tmp/planted.bin")).toUtf8() + '\n';
            (void)!::write(fd, message.constData(), static_cast<size_t>(message.size()));
            pollfd p{fd, POLLIN, 0};
            char reply[16] = {};
            const bool answered = ::poll(&p, 1, 1500) > 0 && ::read(fd, reply, sizeof reply) > 0;
            ::_exit(answered ? 1 : 0);
        }
        int status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0) QTest::qWait(10);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QTest::qWait(20);
        QCOMPARE(received.size(), 0);
        QVERIFY(guard.IsListening());
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
