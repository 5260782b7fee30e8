// What the user is told when a serial port fails: one sentence that names
// the device and says in plain words what went wrong, with the system's own
// text only where there are no plainer words for it.
#pragma once

#include <QSerialPort>
#include <QString>

#include <string>

namespace serial {

enum class PortProblem {
    PermissionDenied, // this user may not use the device
    NoSuchDevice,     // the device does not exist
    InUse,            // another program holds the device
    LineClosed,       // the device stopped working while it was open
    Blocked,          // the device took nothing for the write time limit
    Other,            // anything else: the system's text says what
};

// The problem behind a failed open of a device, from Qt's error and whether
// the device exists and this user may read and write it.
PortProblem OpenProblem(QSerialPort::SerialPortError error, bool exists, bool accessible);
// The problem behind a failed write or a failure of the line while it was
// open, from Qt's error. A device that went away (a pseudo-terminal's other
// side closed, a USB adapter pulled out) means the line was closed.
PortProblem LineProblem(QSerialPort::SerialPortError error);

// "/dev/ttyUSB0 cannot be opened: permission denied (is the user in the
// dialout group?)"; for Other the system's text follows the sentence.
std::string OpenFailureText(const QString& device, PortProblem problem, const QString& systemText);
// "The receiver on /dev/ttyUSB0 stopped answering (the line was closed)."
std::string LineFailureText(const QString& device, PortProblem problem, const QString& systemText);
// "There is no serial port COM3 here (the system lists 2)."
std::string NoPortText(int number, int listed);

// Whether `device` exists, and whether this user may read and write it.
bool DeviceExists(const QString& device);
bool DeviceAccessible(const QString& device);

} // namespace serial
