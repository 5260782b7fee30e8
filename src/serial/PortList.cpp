#include "PortList.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace serial {

QList<PortDevice> SystemPortList::Devices() const {
    QList<PortDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append({info.portName(), info.systemLocation()});
    std::sort(devices.begin(), devices.end(),
              [](const PortDevice& a, const PortDevice& b) { return a.name < b.name; });
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

QStringList PortRows(const PortListProvider& ports) {
#ifndef Q_OS_WIN
    const QList<PortDevice> devices = ports.Devices();
#endif
    QStringList rows;
    for (int n = 1; n <= kPortRows; ++n) {
        QString row = QStringLiteral("COM.%1").arg(n, 2, 10, QLatin1Char('0'));
#ifdef Q_OS_WIN
        const QString name = DeviceForPort(n, ports).name;
#else
        const QString name = n <= devices.size() ? devices[n - 1].name : QString();
#endif
        if (!name.isEmpty()) row += QStringLiteral("  ") + name;
        rows.append(row);
    }
    return rows;
}

int PortNumberFromName(const QString& text) {
    if (text.size() < 4 || !text.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) return 0;
    bool ok = false;
    const int n = text.mid(3).toInt(&ok);
    return ok && n >= 1 && text.mid(3).at(0).isDigit() ? n : 0;
}

} // namespace serial
