// Which device a port number means, and the rows of the port choice.
//
// On Windows port n is COMn. Elsewhere port n is the n-th serial device the
// system lists, the list sorted by device name; a device path can always be
// used directly instead of a number.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace serial {

// Number of rows of the port choice ("COM.01" to "COM.10").
inline constexpr int kPortRows = 10;

struct PortDevice {
    QString name; // as the system names it, e.g. "ttyUSB0" or "COM3"
    QString path; // what to open, e.g. "/dev/ttyUSB0" or "COM3"
};

// The serial devices of the system. Tests replace it with a fixed list.
class PortListProvider {
public:
    virtual ~PortListProvider() = default;
    virtual QList<PortDevice> Devices() const = 0;
};

// The devices Qt SerialPort finds, sorted by name.
class SystemPortList final : public PortListProvider {
public:
    QList<PortDevice> Devices() const override;
};

// The provider used when none is given: one SystemPortList for the program.
const PortListProvider& DefaultPortList();

// The device of port `number` (1-based): COMn on Windows, else the n-th
// listed device. Empty name and path when the system lists fewer devices.
PortDevice DeviceForPort(int number, const PortListProvider& ports);

// The devices of the ten rows of the port choice, as the system lists them
// now: COMn on Windows, else the n-th listed device, or an empty PortDevice
// when the system lists fewer.
QList<PortDevice> RowDevices(const PortListProvider& ports);
// "COM.01" to "COM.10" for numbers 1 to 10.
QString RowLabel(int number);
// The text of row `number`: its label, followed by two blanks and the name
// of its device when there is one.
QString RowText(int number, const PortDevice& device);
// The rows of the port choice: "COM.01" to "COM.10", each followed by two
// blanks and the name of its device when there is one.
QStringList PortRows(const PortListProvider& ports);

// Reads a port argument: "COMn" (any case) gives the number n; anything else
// is a device path and gives 0.
int PortNumberFromName(const QString& text);

} // namespace serial
