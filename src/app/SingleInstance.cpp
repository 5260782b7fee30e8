#include "SingleInstance.h"

#include "base/Files.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace app {

namespace {
const QByteArray kAck = "OK\n";
const QString kRaise = QStringLiteral("RAISE");
const QString kOpenPrefix = QStringLiteral("OPEN ");
} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent) : QObject(parent), name_(std::move(serverName)) {}

QString SingleInstance::ServerNameFor(const QString& windowClassName, const QString& user) {
    auto plain = [](QString s) {
        s = s.simplified();
        s.replace(QLatin1Char(' '), QLatin1Char('-'));
        s.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")));
        return s;
    };
    return plain(windowClassName) + QLatin1Char('-') + plain(user);
}

QString SingleInstance::CurrentUser() {
    for (const char* var : {"USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(var);
        if (!name.isEmpty()) return name + QStringLiteral("-") + QString::number(::getuid());
    }
    return QStringLiteral("uid") + QString::number(::getuid());
}

QString SingleInstance::SocketPathFor(const QString& serverName, QString* problem) {
    std::string dir;
    if (const dbase::Status s = dbase::RuntimeDirectory(dir); !s) {
        if (problem) *problem = QString::fromStdString(s.message());
        return {};
    }
    return QDir(QFile::decodeName(QByteArray::fromStdString(dir))).filePath(serverName);
}

bool SingleInstance::PeerIsSameUser(qintptr fd) {
    if (fd < 0) return false;
#if defined(SO_PEERCRED)
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0) return false;
    return cred.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    if (::getpeereid(static_cast<int>(fd), &uid, &gid) != 0) return false;
    return uid == ::geteuid();
#endif
}

bool SingleInstance::SendToRunning(const QString& message, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    // Somebody else listening there is told nothing, least of all a path.
    if (!PeerIsSameUser(socket.socketDescriptor())) {
        socket.abort();
        return false;
    }
    socket.write(message.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // The running copy answers once it has read the message.
    QByteArray reply;
    while (!reply.contains('\n') && socket.waitForReadyRead(timeoutMs)) reply += socket.readAll();
    socket.disconnectFromServer();
    return reply.startsWith(kAck);
}

bool SingleInstance::SomeoneListening() const {
    QLocalSocket probe;
    probe.connectToServer(name_);
    const bool alive = probe.waitForConnected(500);
    probe.abort();
    // A listener of another user is not removed (it can not be), and it is
    // not answered either: the caller goes on without the guard.
    return alive;
}

bool SingleInstance::Listen() {
    if (IsListening()) return true;
    if (!server_) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
    }
    // A socket restricted to its user is made aside and renamed into place,
    // which would replace a live one: look before listening.
    if (SomeoneListening()) return false;
    // Nobody answers on a socket that is there: a copy that crashed left it behind.
    QLocalServer::removeServer(name_);
    return server_->listen(name_);
}

bool SingleInstance::IsListening() const { return server_ && server_->isListening(); }

void SingleInstance::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (!PeerIsSameUser(socket->socketDescriptor())) {
            // Another user's start: no answer, no job.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype nl = buffer->indexOf('\n');
            if (nl < 0) return;
            const QString message = QString::fromUtf8(buffer->left(nl));
            buffer->clear();
            socket->write(kAck);
            socket->flush();
            // The job may show dialogs; it runs after this handler returns.
            QTimer::singleShot(0, this, [this, message] { emit MessageReceived(message); });
        });
    }
}

QString SingleInstance::RaiseMessage() { return kRaise; }

QString SingleInstance::OpenMessage(const QString& path) {
    return kOpenPrefix + QString::fromLatin1(path.toUtf8().toBase64());
}

bool SingleInstance::IsOpenMessage(const QString& message, QString* path) {
    if (!message.startsWith(kOpenPrefix)) return false;
    const QString p = QString::fromUtf8(QByteArray::fromBase64(message.mid(kOpenPrefix.size()).toLatin1()));
    if (p.isEmpty()) return false;
    if (path) *path = p;
    return true;
}

} // namespace app
