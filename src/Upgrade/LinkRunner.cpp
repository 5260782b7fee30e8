#include "LinkRunner.h"

namespace upgrade {

namespace {
// The longest a pause sleeps before it looks at Cancel and Restart again.
constexpr int kPauseSliceMs = 10;
} // namespace

// Lives on the runner's thread: owns the port and the link, and turns what
// the link shows into the runner's signals.
class LinkRunner::Worker final : public QObject, public dbase::LinkObserver {
public:
    Worker(LinkRunner* runner, PortFactory makePort, std::shared_ptr<dbase::LinkClock> clock)
        : runner_(runner), makePort_(std::move(makePort)), clock_(std::move(clock)) {}

    // Runs on the thread, before any job.
    void Init() {
        port_ = makePort_();
        link_ = std::make_unique<dbase::ReceiverLink>(*port_, *clock_, this);
        runner_->link_ = link_.get();
    }

    void Run(quint64 id, const LinkJob& job) {
        id_ = id;
        if (Superseded()) return; // a newer exchange was asked for before this one began
        if (job.options.closeFirst) link_->ClosePort();
        link_->SetPortNumber(job.port);
        port_->SelectDevice(job.device.toStdString());
        const std::string path = job.path.toStdString();
        bool ok = false;
        switch (job.kind) {
        case LinkJob::ReadBack: ok = link_->ReadBackImage(path, job.is256K); break;
        case LinkJob::Write: ok = link_->WriteImage(path, job.is256K); break;
        case LinkJob::Verify: ok = link_->VerifyImage(path, job.is256K); break;
        }
        const bool superseded = link_->Superseded() || Superseded();
        // A verify has shown its own outcome; the write before it stands.
        if (!superseded && !ok && job.kind != LinkJob::Verify) {
            ShowState(dbase::StateText(dbase::kStateUpdateFailed));
            if (job.options.closeOnFailure) link_->ClosePort();
        }
        emit runner_->exchangeEnded(id, ok, superseded, QString::fromStdString(link_->ErrorMessage()));
        if (!superseded)
            for (int left = job.options.pauseMs; left > 0 && link_->LinkActive() && !Superseded();
                 left -= kPauseSliceMs)
                clock_->SleepMs(std::min(left, kPauseSliceMs));
        emit runner_->finished(id);
    }

    void Close() { link_->ClosePort(); }

    // dbase::LinkObserver
    void ShowState(const std::string& text) override { emit runner_->stateShown(QString::fromStdString(text)); }
    void ShowFileName(const std::string& path) override { emit runner_->fileNameShown(QString::fromStdString(path)); }
    void ShowProgress(int value, int maximum) override { emit runner_->progressShown(value, maximum); }
    void ShowLamp(bool open) override { emit runner_->lampShown(open); }
    void EnablePorts(bool enabled) override { emit runner_->portsEnabled(enabled); }
    void ShowFlashBusy(bool busy) override { emit runner_->flashBusy(busy); }
    bool Superseded() override { return runner_->latest_.load() != id_; }

private:
    LinkRunner* runner_;
    PortFactory makePort_;
    std::shared_ptr<dbase::LinkClock> clock_;
    std::unique_ptr<dbase::SerialPort> port_;
    std::unique_ptr<dbase::ReceiverLink> link_;
    quint64 id_ = 0;
};

LinkRunner::LinkRunner(PortFactory makePort, std::shared_ptr<dbase::LinkClock> clock, QObject* parent)
    : QObject(parent) {
    setObjectName(QStringLiteral("MSComm"));
    worker_ = new Worker(this, std::move(makePort), std::move(clock));
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
    QMetaObject::invokeMethod(
        worker_, [w = worker_] { w->Init(); }, Qt::BlockingQueuedConnection);
}

LinkRunner::~LinkRunner() { Shutdown(); }

void LinkRunner::SetActive(bool active) {
    if (link_) link_->SetActive(active);
}

bool LinkRunner::Active() const { return link_ && link_->LinkActive(); }

quint64 LinkRunner::Start(const LinkJob& job) {
    const quint64 id = ++latest_;
    if (!shutDown_)
        QMetaObject::invokeMethod(
            worker_, [w = worker_, id, job] { w->Run(id, job); }, Qt::QueuedConnection);
    return id;
}

void LinkRunner::Stop() { ++latest_; }

void LinkRunner::ClosePort() {
    if (!shutDown_)
        QMetaObject::invokeMethod(
            worker_, [w = worker_] { w->Close(); }, Qt::QueuedConnection);
}

void LinkRunner::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    disconnect(this, nullptr, nullptr, nullptr);
    ++latest_;
    SetActive(false);
    thread_.quit();
    thread_.wait();
    link_ = nullptr;
}

} // namespace upgrade
