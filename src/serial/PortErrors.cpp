#include "PortErrors.h"

#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace serial {

PortProblem OpenProblem(QSerialPort::SerialPortError error, bool exists, bool accessible) {
    if (!exists || error == QSerialPort::DeviceNotFoundError) return PortProblem::NoSuchDevice;
    if (error == QSerialPort::PermissionError)
        // Qt reports a device held by another program (its lock, or the
        // exclusive mode) as a permission error too.
        return accessible ? PortProblem::InUse : PortProblem::PermissionDenied;
    return PortProblem::Other;
}

PortProblem LineProblem(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::NotOpenError:
    case QSerialPort::DeviceNotFoundError:
        // The system's text for these is often a stale one ("File exists").
        return PortProblem::LineClosed;
    case QSerialPort::PermissionError: return PortProblem::PermissionDenied;
    case QSerialPort::TimeoutError: return PortProblem::Blocked;
    default: return PortProblem::Other;
    }
}

std::string OpenFailureText(const QString& device, PortProblem problem, const QString& systemText) {
    const std::string d = device.toStdString();
    switch (problem) {
    case PortProblem::PermissionDenied:
#ifdef Q_OS_WIN
        return d + " cannot be opened: permission denied.";
#else
        return d + " cannot be opened: permission denied (is the user in the dialout group?)";
#endif
    case PortProblem::NoSuchDevice:
        return d + " cannot be opened: no such device (is the receiver's cable plugged in?)";
    case PortProblem::InUse: return d + " cannot be opened: it is in use by another program.";
    case PortProblem::LineClosed: return d + " cannot be opened: the line was closed.";
    case PortProblem::Blocked:
    case PortProblem::Other: break;
    }
    return d + " cannot be opened as a serial port. The system said: " + systemText.toStdString();
}

std::string LineFailureText(const QString& device, PortProblem problem, const QString& systemText) {
    const std::string d = device.toStdString();
    switch (problem) {
    case PortProblem::LineClosed:
    case PortProblem::NoSuchDevice: return "The receiver on " + d + " stopped answering (the line was closed).";
    case PortProblem::Blocked:
        return "The receiver on " + d + " stopped answering (nothing could be sent for 2 seconds).";
    case PortProblem::PermissionDenied: return "The receiver on " + d + " cannot be written to: permission denied.";
    case PortProblem::InUse: return "The receiver on " + d + " cannot be written to: it is in use by another program.";
    case PortProblem::Other: break;
    }
    return "Writing to the receiver on " + d + " failed. The system said: " + systemText.toStdString();
}

std::string NoPortText(int number, int listed) {
    return "There is no serial port COM" + std::to_string(number) + " here (the system lists " +
           std::to_string(listed) + ").";
}

bool DeviceExists(const QString& device) {
#ifdef Q_OS_WIN
    (void)device;
    return true;
#else
    return QFileInfo::exists(device);
#endif
}

bool DeviceAccessible(const QString& device) {
#ifdef Q_OS_WIN
    (void)device;
    return true;
#else
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
#endif
}

} // namespace serial
