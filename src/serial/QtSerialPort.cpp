#include "QtSerialPort.h"

#include "PortErrors.h"

#include <QStringList>

namespace serial {

namespace {

// How long a write may take to be handed to the system before it counts as
// failed; far above the line time of the largest write.
constexpr int kWriteTimeoutMs = 2000;
// A bound on the reads one fill makes, so a peer that never stops sending
// can not hold the caller.
constexpr int kMaxFillReads = 64;

} // namespace

bool ParseLineSettings(const std::string& text, LineSettings& out) {
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(','));
    if (parts.size() != 4) return false;
    bool ok = false;
    const int baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0) return false;
    LineSettings s;
    s.baud = baud;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity == QLatin1String("N"))
        s.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("E"))
        s.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("O"))
        s.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("M"))
        s.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("S"))
        s.parity = QSerialPort::SpaceParity;
    else
        return false;
    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8) return false;
    s.dataBits = static_cast<QSerialPort::DataBits>(bits);
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        s.stopBits = QSerialPort::TwoStop;
    else
        return false;
    out = s;
    return true;
}

QtSerialPort::QtSerialPort(const PortListProvider* ports) : ports_(ports ? ports : &DefaultPortList()) {}

QtSerialPort::~QtSerialPort() { Close(); }

bool QtSerialPort::Open(int number, const std::string& settings) {
    Close();
    error_.clear();
    LineSettings line;
    if (!ParseLineSettings(settings, line)) {
        error_ = "Unknown line settings: " + settings;
        return false;
    }
    opened_ = device_.isEmpty() ? DeviceForPort(number, *ports_).path : device_;
    if (opened_.isEmpty()) {
        error_ = NoPortText(number, static_cast<int>(ports_->Devices().size()));
        return false;
    }
    if (!port_) port_ = std::make_unique<QSerialPort>();
    port_->setPortName(opened_);
    port_->setBaudRate(line.baud);
    port_->setParity(line.parity);
    port_->setDataBits(line.dataBits);
    port_->setStopBits(line.stopBits);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        const PortProblem problem = OpenProblem(port_->error(), DeviceExists(opened_), DeviceAccessible(opened_));
        error_ = OpenFailureText(opened_, problem, port_->errorString());
        port_->clearError();
        return false;
    }
    return true;
}

bool QtSerialPort::IsOpen() const { return port_ && port_->isOpen(); }

void QtSerialPort::Close() {
    if (IsOpen()) port_->close();
}

void QtSerialPort::Fill() {
    for (int i = 0; i < kMaxFillReads && port_->waitForReadyRead(0); ++i) {
    }
}

size_t QtSerialPort::InBufferCount() {
    if (!IsOpen()) return 0;
    Fill();
    NoteLineFault();
    return static_cast<size_t>(port_->bytesAvailable());
}

void QtSerialPort::DiscardInput() {
    // Only the input: on Linux, and on pseudo-terminals, clearing the output
    // side throws away bytes the system has not transmitted yet.
    if (IsOpen()) port_->clear(QSerialPort::Input);
}

bool QtSerialPort::Write(std::span<const uint8_t> bytes) {
    if (!IsOpen()) {
        // After a failed open its reason stays the one to tell.
        if (error_.empty()) error_ = "The serial port is not open.";
        return false;
    }
    const qint64 n = port_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    bool ok = n == static_cast<qint64>(bytes.size());
    while (ok && port_->bytesToWrite() > 0) ok = port_->waitForBytesWritten(kWriteTimeoutMs);
    if (!ok) {
        error_ = LineFailureText(opened_, LineProblem(port_->error()), port_->errorString());
        port_->clearError();
    }
    return ok;
}

void QtSerialPort::NoteLineFault() {
    const QSerialPort::SerialPortError e = port_->error();
    if (e != QSerialPort::ResourceError && e != QSerialPort::ReadError) return;
    // The line itself has failed (a pseudo-terminal's other side closed, a
    // USB adapter pulled out): nothing more will arrive.
    if (error_.empty()) error_ = LineFailureText(opened_, LineProblem(e), {});
    port_->clearError();
}

size_t QtSerialPort::Read(uint8_t* out, size_t n) {
    if (!IsOpen() || n == 0) return 0;
    if (static_cast<size_t>(port_->bytesAvailable()) < n) Fill();
    const qint64 got = port_->read(reinterpret_cast<char*>(out), static_cast<qint64>(n));
    return got > 0 ? static_cast<size_t>(got) : 0;
}

} // namespace serial
