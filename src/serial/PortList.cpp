#include "PortList.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace serial {

QList<PortDevice> SystemPortList::Devices() const {
    QList<PortDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append({info.portName(), info.systemLocation()});
    std::sort(devices.begin(), devices.end(), [](const PortDevice& a, const PortDevice& b) { return a.name < b.name; });
    return devices;
}

const PortListProvider& DefaultPortList() {
    static const SystemPortList list;
    return list;
}

PortDevice DeviceForPort(int number, const PortListProvider& ports) {
    if (number < 1) return {};
#ifdef Q_OS_WIN
    (void)ports;
    const QString name = QStringLiteral("COM%1").arg(number);
    return {name, name};
#else
    const QList<PortDevice> devices = ports.Devices();
    return number <= devices.size() ? devices[number - 1] : PortDevice{};
#endif
}

QList<PortDevice> RowDevices(const PortListProvider& ports) {
    QList<PortDevice> rows;
#ifdef Q_OS_WIN
    for (int n = 1; n <= kPortRows; ++n) rows.append(DeviceForPort(n, ports));
#else
    rows = ports.Devices().mid(0, kPortRows);
    while (rows.size() < kPortRows) rows.append(PortDevice{});
#endif
    return rows;
}

QString RowLabel(int number) { return QStringLiteral("COM.%1").arg(number, 2, 10, QLatin1Char('0')); }

QString RowText(int number, const PortDevice& device) {
    QString row = RowLabel(number);
    if (!device.name.isEmpty()) row += QStringLiteral("  ") + device.name;
    return row;
}

QStringList PortRows(const PortListProvider& ports) {
    const QList<PortDevice> devices = RowDevices(ports);
    QStringList rows;
    for (int n = 1; n <= kPortRows; ++n) rows.append(RowText(n, devices[n - 1]));
    return rows;
}

int PortNumberFromName(const QString& text) {
    if (text.size() < 4 || !text.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) return 0;
    bool ok = false;
    const int n = text.mid(3).toInt(&ok);
    return ok && n >= 1 && text.mid(3).at(0).isDigit() ? n : 0;
}

} // namespace serial
