// Keeps a second copy of the editor from opening a window of its own: the
// first copy listens on a local socket named after the main window's class
// name and the user, in a folder only the user can reach, and a later start
// hands its job (bring the window to the front, perhaps open a file) to it
// and ends. Both sides check that the other end is the same user: a socket
// of anybody else is neither told a job nor listened to.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace app {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `serverName` is a local socket name, or a full path for a socket file.
    explicit SingleInstance(QString serverName, QObject* parent = nullptr);

    // The socket name for a window class name and a user: the class name's
    // plain characters, then the user, so each user has an instance of their own.
    static QString ServerNameFor(const QString& windowClassName, const QString& user);
    // The name of the user running the program.
    static QString CurrentUser();
    // The socket file for `serverName` in the user's private runtime folder
    // (see dbase::RuntimeDirectory); empty, with the reason in `problem`,
    // when there is no such folder.
    static QString SocketPathFor(const QString& serverName, QString* problem = nullptr);
    // True when the process at the other end of the connected local socket
    // `fd` runs as the same user as this one.
    static bool PeerIsSameUser(qintptr fd);

    // Hands `message` to a running copy; true when one took it.
    bool SendToRunning(const QString& message, int timeoutMs = 3000) const;
    // Starts taking messages from later starts. A socket left behind by a copy
    // that crashed is removed first; fails when another copy is listening.
    bool Listen();
    bool IsListening() const;
    const QString& serverName() const { return name_; }

    // Message texts.
    static QString RaiseMessage();
    static QString OpenMessage(const QString& path);
    // True for a message naming a file to open; the file is put in `path`.
    static bool IsOpenMessage(const QString& message, QString* path);

signals:
    // A later start asked for this; emitted from the event loop, after the
    // sender has been answered.
    void MessageReceived(const QString& message);

private:
    void Accept();
    bool SomeoneListening() const;

    QString name_;
    QLocalServer* server_ = nullptr;
};

} // namespace app
