// The link's serial port over Qt SerialPort.
//
// Reception is by polling: the waiting-byte count first moves whatever the
// system has received into the port's buffer, so the port needs no running
// event loop. The object must be created, used and destroyed on one thread.
#pragma once

#include "PortList.h"
#include "link/SerialPort.h"

#include <QSerialPort>
#include <QString>

#include <memory>
#include <string>

namespace serial {

// Line settings as the link gives them: "115200,N,8,1".
struct LineSettings {
    qint32 baud = 115200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Reads "baud,parity,data bits,stop bits" (parity N, E, O, M or S; data bits
// 5 to 8; stop bits 1, 1.5 or 2). False on anything else.
bool ParseLineSettings(const std::string& text, LineSettings& out);

// LastError() is a sentence naming the device and what went wrong in plain
// words (see PortErrors.h); a successful Open clears it.
class QtSerialPort final : public dbase::SerialPort {
public:
    // `ports` resolves port numbers; the system's list when null.
    explicit QtSerialPort(const PortListProvider* ports = nullptr);
    ~QtSerialPort() override;

    // Opens `path` whatever the port number asked for (the command-line
    // tool's device argument). An empty path goes back to port numbers.
    void SetDevice(const QString& path) { device_ = path; }
    void SelectDevice(const std::string& path) override { device_ = QString::fromStdString(path); }
    // The device of the last open, or of the last attempt.
    const QString& OpenedDevice() const { return opened_; }

    bool Open(int number, const std::string& settings) override;
    bool IsOpen() const override;
    void Close() override;
    size_t InBufferCount() override;
    void DiscardInput() override;
    bool Write(std::span<const uint8_t> bytes) override;
    size_t Read(uint8_t* out, size_t n) override;
    std::string LastError() const override { return error_; }

private:
    void Fill();
    void NoteLineFault();

    const PortListProvider* ports_;
    std::unique_ptr<QSerialPort> port_;
    QString device_;
    QString opened_;
    std::string error_;
};

} // namespace serial
