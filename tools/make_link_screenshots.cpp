// Grabs the communication dialog writing to the simulated loader, offscreen
// on a 1400 x 900 screen:
//   make-link-screenshots OUTDIR
// writes OUTDIR/link-transfer.png (the write halfway through sending its
// data) and OUTDIR/link-success.png (the write done: "Update Success!" and
// the Verify button).
#include "PtyLoader.h"
#include "SampleData.h"

#include "Upgrade/TFormUpgrade.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

class OnePort : public serial::PortListProvider {
public:
    explicit OnePort(QString path) : path_(std::move(path)) {}
    QList<serial::PortDevice> Devices() const override { return {{QStringLiteral("ttyUSB0"), path_}}; }

private:
    QString path_;
};

// Lets the dialog run until its state field shows `text`, and grabs it into
// `path` then, or once `ready` holds.
bool GrabAt(
    QWidget& dialog, QLineEdit* state, const QString& text, const QString& path,
    const std::function<bool()>& ready = [] { return true; }) {
    bool seen = false, grabbed = false, saved = false;
    const auto grab = [&] {
        grabbed = true;
        saved = dialog.grab().save(path);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    };
    const auto c = QObject::connect(state, &QLineEdit::textChanged, [&](const QString& now) {
        if (seen || grabbed || now != text) return;
        seen = true;
        if (ready()) grab();
    });
    QElapsedTimer t;
    t.start();
    while (!grabbed && t.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (seen && !grabbed && ready()) grab();
    }
    QObject::disconnect(c);
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + ORBITLIST_OFFSCREEN_CONFIG);
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-link-screenshots OUTDIR\n");
        return 2;
    }
    const QDir out(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());

    // A loader at four times the line speed: slow enough to be caught halfway.
    sim::PtyLoader loader({}, true, 460800);
    std::string error;
    if (!loader.Start(&error)) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    // The file is named relative to a scratch folder, as a user's would be.
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());
    const QString file = QStringLiteral("channels-default.bin");
    const std::vector<uint8_t>& bytes = sample::SampleFile(false);
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
        return 1;
    f.close();

    const OnePort ports(QString::fromStdString(loader.DevicePath()));
    upgrade::LinkOptions options;
    options.ports = &ports;
    upgrade::TFormUpgrade dialog(upgrade::TFormUpgrade::Command::Write, file, false, options);
    auto* state = dialog.findChild<QLineEdit*>(QStringLiteral("Edit_Start"));
    dialog.show();
    dialog.StartCommand();
    bool ok = GrabAt(dialog, state, QStringLiteral("Transfering Data:  50%"),
                     out.filePath(QStringLiteral("link-transfer.png")));
    const auto* verify = dialog.findChild<QWidget*>(QStringLiteral("SB_Verify"));
    ok = ok && GrabAt(dialog, state, QStringLiteral("Update Success!"),
                      out.filePath(QStringLiteral("link-success.png")), [verify] { return verify->isVisible(); });
    dialog.SB_CancelClick();
    return ok ? 0 : 1;
}
