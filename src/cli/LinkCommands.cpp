// read and write: the exchanges with the receiver's loader over a serial
// port, reporting each state on stderr, one per line.
#include "LinkCommands.h"
#include "Commands.h"
#include "Common.h"

#include "base/Messages.h"
#include "link/Link.h"
#include "serial/QtSerialPort.h"

#include <QCoreApplication>

#include <atomic>
#include <csignal>
#include <functional>
#include <memory>
#include <set>

namespace cli {

namespace {

dbase::LinkClock* g_clock = nullptr;

// Set by SIGINT while an exchange runs; the exchange then acts as if
// cancelled at its next poll.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) { g_interrupted.store(true); }

// Routes SIGINT to the flag while it lives and restores the old handler.
class InterruptGuard {
public:
    InterruptGuard() {
        g_interrupted.store(false);
        struct sigaction sa {};
        sa.sa_handler = OnInterrupt;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGINT, &sa, &old_);
    }
    ~InterruptGuard() { ::sigaction(SIGINT, &old_, nullptr); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction old_ {};
};

// Writes each new state text as a line and turns an interrupt, or a port
// that can not be opened, into a Cancel.
class StderrObserver final : public dbase::LinkObserver {
public:
    explicit StderrObserver(std::ostream& err) : err_(err) {}
    void Attach(dbase::ReceiverLink* link) { link_ = link; }

    void ShowState(const std::string& text) override {
        if (text == last_) return;
        last_ = text;
        printed_.insert(text);
        err_ << text << '\n' << std::flush;
    }
    bool Printed(const std::string& text) const { return printed_.count(text) > 0; }
    void ShowLamp(bool portOpen) override {
        // The lamp turns red right after an open fails; nobody can choose
        // another port here, so waiting for the loader would be pointless.
        if (!portOpen && link_) link_->Cancel();
    }
    void PumpMessages() override {
        if (g_interrupted.load() && link_) link_->Cancel();
    }

private:
    std::ostream& err_;
    dbase::ReceiverLink* link_ = nullptr;
    std::string last_;
    std::set<std::string> printed_;
};

// A core application for Qt SerialPort when the program has none.
std::unique_ptr<QCoreApplication> EnsureApplication() {
    if (QCoreApplication::instance()) return nullptr;
    static int argc = 1;
    static char name[] = "orbitlist-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

// Runs one exchange on the port named `dev` (a device path or COMn); a
// failure ends with its reason and "Update failed!", or, with `updates`
// false (a verify, which shows its own outcome), with its reason alone.
int RunExchange(const std::string& dev, std::ostream& err, const std::function<bool(dbase::ReceiverLink&)>& exchange,
                bool updates = true) {
    const auto app = EnsureApplication();
    serial::QtSerialPort port;
    const QString name = QString::fromStdString(dev);
    const int number = serial::PortNumberFromName(name);
    if (number == 0) port.SetDevice(name);
    dbase::SteadyLinkClock steady;
    StderrObserver observer(err);
    dbase::ReceiverLink link(port, g_clock ? *g_clock : steady, &observer);
    observer.Attach(&link);
    link.SetPortNumber(number == 0 ? 1 : number);
    link.SetConnectTimeoutMs(kConnectLimitMs);
    link.SetActive(true);
    bool ok = false;
    {
        InterruptGuard guard;
        ok = exchange(link);
    }
    port.Close();
    if (ok) return 0;
    // The reason, unless it was already shown as a state (a port's fault).
    if (!link.ErrorMessage().empty() && !observer.Printed(link.ErrorMessage())) Fail(err, link.ErrorMessage());
    if (updates) err << dbase::StateText(dbase::kStateUpdateFailed) << '\n';
    return 1;
}

std::string RequirePort(const ParsedArgs& p) {
    const std::string* dev = p.get("--port");
    if (!dev || dev->empty()) throw UsageError("--port is required");
    return *dev;
}

} // namespace

void SetLinkClock(dbase::LinkClock* clock) { g_clock = clock; }

int CmdRead(const Args& args, std::ostream&, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {"--port", "--kind"}, {kNoBackup}, 1, 1);
    const std::string dev = RequirePort(p);
    const std::string* kind = p.get("--kind");
    if (!kind) throw UsageError("--kind is required");
    if (*kind != "channel" && *kind != "default") throw UsageError("--kind takes channel or default");
    const std::string out = p.positional[0];
    const bool is256K = *kind == "channel";
    // A destination that could never take the file is refused before the port
    // is opened, and an existing one is kept as OUT.bak before the exchange
    // can replace it.
    if (dbase::Status s = dbase::CheckDestination(out); !s) return Fail(err, s);
    if (!p.has(kNoBackup)) {
        dbase::BackupResult backup;
        if (dbase::Status s = dbase::BackUpFile(out, backup); !s) return Fail(err, s);
        NoteBackup(backup, err);
    }
    return RunExchange(dev, err, [&](dbase::ReceiverLink& link) { return link.ReadBackImage(out, is256K); });
}

int CmdWrite(const Args& args, std::ostream&, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {"--port"}, {"--verify"}, 1, 1);
    const std::string dev = RequirePort(p);
    const std::string file = p.positional[0];
    // The kind follows the file's size, as for a recent file; a size that
    // fits neither kind is refused by the file check.
    // A pipe, device or folder is refused before the port is opened; a
    // missing file fails the exchange's own file check.
    uint64_t size = 0;
    if (dbase::Status s = dbase::CheckInputFile(file, &size); !s && s.code() != dbase::StatusCode::NotFound)
        return Fail(err, s);
    const bool is256K = dbase::KindFromSize(size);
    const int status = RunExchange(dev, err, [&](dbase::ReceiverLink& link) { return link.WriteImage(file, is256K); });
    if (status != 0 || !p.has("--verify")) return status;
    // Read the same kind back and compare: "Verify OK", or how many blocks differ.
    return RunExchange(
        dev, err, [&](dbase::ReceiverLink& link) { return link.VerifyImage(file, is256K); }, false);
}

} // namespace cli
