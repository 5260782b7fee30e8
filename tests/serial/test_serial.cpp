// The serial port over Qt SerialPort: port numbers, the rows of the port
// choice, line settings, and the port itself on a pseudo-terminal.
#include "serial/PortErrors.h"
#include "serial/PortList.h"
#include "serial/QtSerialPort.h"

#include "LinkTestSupport.h"
#include "PtyLoader.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

class FixedPorts : public serial::PortListProvider {
public:
    explicit FixedPorts(QList<serial::PortDevice> devices) : devices_(std::move(devices)) {}
    QList<serial::PortDevice> Devices() const override { return devices_; }

private:
    QList<serial::PortDevice> devices_;
};

// A raw pseudo-terminal: the test holds the master, the port opens Path().
class RawPty {
public:
    RawPty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        path_ = ::ptsname(master_);
        slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        ::tcgetattr(slave_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
    ~RawPty() {
        if (slave_ >= 0) ::close(slave_);
        HangUp();
    }
    // Closes the test's side: the line is gone for whoever has Path() open.
    void HangUp() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    // Lets the test's own hold on Path() go, so the port is the only user.
    void CloseSlave() {
        if (slave_ >= 0) ::close(slave_);
        slave_ = -1;
    }
    bool ok() const { return slave_ >= 0; }
    const std::string& Path() const { return path_; }
    void Send(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Reads until `n` bytes came or a second passed.
    std::vector<uint8_t> Receive(size_t n) {
        std::vector<uint8_t> got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (got.size() < n && std::chrono::steady_clock::now() < end) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            uint8_t buf[4096];
            const ssize_t r = ::read(master_, buf, sizeof buf);
            if (r > 0) got.insert(got.end(), buf, buf + r);
        }
        return got;
    }

private:
    int master_ = -1, slave_ = -1;
    std::string path_;
};

// Polls the port until `n` bytes wait or a second passed.
size_t WaitFor(serial::QtSerialPort& port, size_t n) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    size_t count = 0;
    while ((count = port.InBufferCount()) < n && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return count;
}

} // namespace

TEST(PortList, RowsNameTheDeviceOfEachPort) {
    const FixedPorts ports({{"ttyS0", "/dev/ttyS0"}, {"ttyUSB0", "/dev/ttyUSB0"}});
    const QStringList rows = serial::PortRows(ports);
    ASSERT_EQ(rows.size(), 10);
#ifdef Q_OS_WIN
    EXPECT_EQ(rows[0], "COM.01  COM1");
    EXPECT_EQ(rows[9], "COM.10  COM10");
#else
    EXPECT_EQ(rows[0], "COM.01  ttyS0");
    EXPECT_EQ(rows[1], "COM.02  ttyUSB0");
    EXPECT_EQ(rows[2], "COM.03");
    EXPECT_EQ(rows[9], "COM.10");
    EXPECT_EQ(serial::DeviceForPort(2, ports).path, "/dev/ttyUSB0");
    EXPECT_TRUE(serial::DeviceForPort(3, ports).path.isEmpty());
    EXPECT_TRUE(serial::DeviceForPort(0, ports).path.isEmpty());
#endif
}

TEST(PortList, SystemListIsSortedByName) {
    const QList<serial::PortDevice> devices = serial::SystemPortList().Devices();
    for (int i = 1; i < devices.size(); ++i) EXPECT_LE(devices[i - 1].name, devices[i].name);
}

TEST(PortList, PortArgumentsNameANumberOrADevice) {
    EXPECT_EQ(serial::PortNumberFromName("COM3"), 3);
    EXPECT_EQ(serial::PortNumberFromName("com10"), 10);
    EXPECT_EQ(serial::PortNumberFromName("COM"), 0);
    EXPECT_EQ(serial::PortNumberFromName("COMx"), 0);
    EXPECT_EQ(serial::PortNumberFromName("COM-1"), 0);
    EXPECT_EQ(serial::PortNumberFromName("COM0"), 0);
    EXPECT_EQ(serial::PortNumberFromName("/dev/ttyUSB0"), 0);
}

TEST(LineSettings, ParsesTheSettingsString) {
    serial::LineSettings s;
    ASSERT_TRUE(serial::ParseLineSettings("115200,N,8,1", s));
    EXPECT_EQ(s.baud, 115200);
    EXPECT_EQ(s.parity, QSerialPort::NoParity);
    EXPECT_EQ(s.dataBits, QSerialPort::Data8);
    EXPECT_EQ(s.stopBits, QSerialPort::OneStop);
    ASSERT_TRUE(serial::ParseLineSettings("9600,e,7,2", s));
    EXPECT_EQ(s.parity, QSerialPort::EvenParity);
    EXPECT_EQ(s.stopBits, QSerialPort::TwoStop);
    for (const char* bad : {"", "115200", "115200,N,8", "fast,N,8,1", "115200,X,8,1", "115200,N,9,1", "115200,N,8,3",
                            "0,N,8,1", "115200,N,8,1,1"})
        EXPECT_FALSE(serial::ParseLineSettings(bad, s)) << bad;
}

TEST(QtSerialPort, MovesBytesBothWays) {
    RawPty pty;
    ASSERT_TRUE(pty.ok());
    serial::QtSerialPort port;
    port.SetDevice(QString::fromStdString(pty.Path()));
    ASSERT_TRUE(port.Open(1, "115200,N,8,1")) << port.LastError();
    EXPECT_EQ(port.OpenedDevice().toStdString(), pty.Path());
    const std::vector<uint8_t> out = {'!', '!', '!', 'C', 'L', 'C', 'L', '*'};
    ASSERT_TRUE(port.Write(out));
    EXPECT_EQ(pty.Receive(8), out);

    pty.Send({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    ASSERT_EQ(WaitFor(port, 12), 12u);
    uint8_t buf[8];
    EXPECT_EQ(port.Read(buf, 8), 8u);
    EXPECT_EQ(buf[0], 1);
    EXPECT_EQ(buf[7], 8);
    EXPECT_EQ(port.InBufferCount(), 4u);
    port.DiscardInput();
    EXPECT_EQ(port.InBufferCount(), 0u);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Write(out));
    EXPECT_EQ(port.InBufferCount(), 0u);
}

TEST(QtSerialPort, DiscardingInputNeverLosesWrittenBytes) {
    RawPty pty;
    ASSERT_TRUE(pty.ok());
    serial::QtSerialPort port;
    port.SetDevice(QString::fromStdString(pty.Path()));
    ASSERT_TRUE(port.Open(1, "115200,N,8,1")) << port.LastError();
    std::vector<uint8_t> block(2052);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
    pty.Send({0xAA, 0xBB});
    ASSERT_EQ(WaitFor(port, 2), 2u);
    ASSERT_TRUE(port.Write(block));
    port.DiscardInput(); // right after the write, as before a request
    EXPECT_EQ(port.InBufferCount(), 0u);
    EXPECT_EQ(pty.Receive(block.size()), block);
}

TEST(QtSerialPort, PortNumbersGoThroughTheList) {
    RawPty pty;
    ASSERT_TRUE(pty.ok());
    const FixedPorts ports({{"ttyS0", "/dev/orbitlist-no-such-device"}, {"pty", QString::fromStdString(pty.Path())}});
    serial::QtSerialPort port(&ports);
#ifndef Q_OS_WIN
    EXPECT_TRUE(port.Open(2, "115200,N,8,1")) << port.LastError();
    EXPECT_EQ(port.OpenedDevice().toStdString(), pty.Path());
    EXPECT_FALSE(port.Open(1, "115200,N,8,1"));
    EXPECT_NE(port.LastError().find("/dev/orbitlist-no-such-device"), std::string::npos);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Open(3, "115200,N,8,1"));
    EXPECT_EQ(port.LastError(), "There is no serial port COM3 here (the system lists 2).");
#endif
    EXPECT_FALSE(port.Open(2, "115200,Q,8,1"));
}

TEST(PortErrors, PermissionAndStaleTextsAreToldApart) {
    const QString dev = QStringLiteral("/dev/ttyUSB0");
    EXPECT_EQ(serial::OpenFailureText(dev, serial::OpenProblem(QSerialPort::PermissionError, true, false), {}),
              "/dev/ttyUSB0 cannot be opened: permission denied (is the user in the dialout group?)");
    // Qt reports a device another program holds as a permission error too.
    EXPECT_EQ(serial::OpenProblem(QSerialPort::PermissionError, true, true), serial::PortProblem::InUse);
    EXPECT_EQ(serial::OpenProblem(QSerialPort::PermissionError, false, false), serial::PortProblem::NoSuchDevice);
    // Qt's text for a failed write is often stale: it is not shown.
    EXPECT_EQ(serial::LineFailureText(dev, serial::LineProblem(QSerialPort::WriteError),
                                      QStringLiteral("Inappropriate ioctl for device")),
              "The receiver on /dev/ttyUSB0 stopped answering (the line was closed).");
    EXPECT_EQ(serial::LineFailureText(dev, serial::LineProblem(QSerialPort::UnknownError), QStringLiteral("Bad luck")),
              "Writing to the receiver on /dev/ttyUSB0 failed. The system said: Bad luck");
}

TEST(PortErrors, RealFailuresAreToldInPlainWords) {
    serial::QtSerialPort port;
    port.SetDevice(QStringLiteral("/dev/orbitlist-no-such-device"));
    EXPECT_FALSE(port.Open(1, "115200,N,8,1"));
    EXPECT_EQ(port.LastError(), "/dev/orbitlist-no-such-device cannot be opened: no such device (is the "
                                "receiver's cable plugged in?)");
    // Not a serial line: the system's own words follow.
    port.SetDevice(QStringLiteral("/dev/null"));
    EXPECT_FALSE(port.Open(1, "115200,N,8,1"));
    EXPECT_EQ(port.LastError(),
              "/dev/null cannot be opened as a serial port. The system said: Inappropriate ioctl for device");
    // A failed write keeps the reason of the failed open.
    EXPECT_FALSE(port.Write(std::vector<uint8_t>{1, 2, 3}));
    EXPECT_NE(port.LastError().find("/dev/null"), std::string::npos);

    RawPty pty;
    ASSERT_TRUE(pty.ok());
    const QString path = QString::fromStdString(pty.Path());
    serial::QtSerialPort first, second;
    first.SetDevice(path);
    second.SetDevice(path);
    ASSERT_TRUE(first.Open(1, "115200,N,8,1")) << first.LastError();
    EXPECT_EQ(first.LastError(), "");
    EXPECT_FALSE(second.Open(1, "115200,N,8,1"));
    EXPECT_EQ(second.LastError(), pty.Path() + " cannot be opened: it is in use by another program.");

    // The other side goes away: the next write, or the next look at the
    // input, says the line was closed.
    pty.CloseSlave();
    pty.HangUp();
    const std::vector<uint8_t> frame(8, '!');
    bool failed = false;
    for (int i = 0; i < 50 && !failed; ++i) {
        failed = !first.Write(frame) || !first.LastError().empty();
        first.InBufferCount();
        failed = failed || !first.LastError().empty();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(first.LastError(), "The receiver on " + pty.Path() + " stopped answering (the line was closed).");
    // Opening again tells the new reason: the device is gone.
    EXPECT_FALSE(first.Open(1, "115200,N,8,1"));
    EXPECT_EQ(first.LastError(),
              pty.Path() + " cannot be opened: no such device (is the receiver's cable plugged in?)");
}

// The protocol over the real port and the system clock, the loader on a
// pseudo-terminal: a faulty block and a write that the loader drops.
TEST(QtSerialPort, TheLinkRunsOverAPseudoTerminal) {
    testutil::TempDir dir;
    sim::LoaderConfig config;
    config.fault = sim::Fault::BadSum;
    config.block = 40;
    sim::PtyLoader loader(config);
    std::string error;
    ASSERT_TRUE(loader.Start(&error)) << error;
    serial::QtSerialPort port;
    port.SetDevice(QString::fromStdString(loader.DevicePath()));
    linktest::FastPauseClock clock;
    linktest::Recorder rec;
    dbase::ReceiverLink link(port, clock, &rec);
    link.SetActive(true);
    const std::string out = dir.path("r.bin");
    EXPECT_FALSE(link.ReadBackImage(out, true));
    EXPECT_EQ(rec.states.back(), "Transfer failed!");
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_TRUE(loader.Await([](sim::LoaderCore& core) { return core.CountIn(dbase::kFrameBlockBad) == 1; }));
    loader.With([](sim::LoaderCore& core) { EXPECT_EQ(core.CountIn(dbase::kFrameBlockGood), 40); });

    // The same port, a second exchange: a complete Default write.
    rec.states.clear();
    const std::string file = dir.path("w.bin");
    testutil::WriteFile(file, linktest::SampleFile(false));
    EXPECT_TRUE(link.WriteImage(file, false));
    EXPECT_EQ(rec.states, linktest::WriteStates(false));
    loader.With([](sim::LoaderCore& core) { EXPECT_EQ(core.Image(false), linktest::SampleFile(false)); });
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
