// Runs the exchanges of the communication dialog on a thread of their own,
// so the window keeps painting and its buttons keep answering during every
// wait. The port, its link and every port operation live on that thread;
// what the link shows comes back as queued signals.
#pragma once

#include "link/Link.h"
#include "link/SerialPort.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

namespace upgrade {

// Makes the port on the runner's thread.
using PortFactory = std::function<std::unique_ptr<dbase::SerialPort>()>;

// What is done with the port around one exchange.
struct ExchangeOptions {
    bool closeFirst = false;     // close the port before the exchange
    bool closeOnFailure = false; // close it when the exchange fails
    int pauseMs = 0;             // pause after the exchange (not after a superseded one)
};

// One exchange and what follows it.
struct LinkJob {
    enum Kind { ReadBack, Write, Verify };
    Kind kind = ReadBack;
    QString path;
    bool is256K = true;
    int port = 1;   // the port number (row of the port list + 1)
    QString device; // the device to open; empty: port `port` as the port resolves it
    ExchangeOptions options;
};

class LinkRunner : public QObject {
    Q_OBJECT

public:
    // `makePort` is called once, on the runner's thread; `clock` must stay
    // usable from that thread for the runner's life.
    LinkRunner(PortFactory makePort, std::shared_ptr<dbase::LinkClock> clock, QObject* parent = nullptr);
    ~LinkRunner() override;

    // Sets or clears LinkActive; clearing it ends every wait of a running
    // exchange at its next poll.
    void SetActive(bool active);
    bool Active() const;
    // Queues an exchange and returns its number. A running exchange is
    // superseded at once and ends quietly; a queued one is skipped.
    quint64 Start(const LinkJob& job);
    // Ends the running exchange quietly and skips the queued ones.
    void Stop();
    // Queues closing the port, after whatever runs now.
    void ClosePort();
    // Stops everything: the running exchange ends and the thread finishes.
    // No signal comes after this returns.
    void Shutdown();

signals:
    void stateShown(const QString& text);
    void fileNameShown(const QString& path);
    void progressShown(int value, int maximum);
    void lampShown(bool portOpen);
    void portsEnabled(bool enabled);
    void flashBusy(bool busy);
    // The exchange `id` ended: with success, or superseded (quietly).
    void exchangeEnded(quint64 id, bool ok, bool superseded, const QString& error);
    // Exchange `id` and its pause are over.
    void finished(quint64 id);

private:
    class Worker;
    friend class Worker;

    QThread thread_;
    Worker* worker_ = nullptr;
    dbase::ReceiverLink* link_ = nullptr;
    std::atomic<quint64> latest_{0};
    bool shutDown_ = false;
};

} // namespace upgrade
