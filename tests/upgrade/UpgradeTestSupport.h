// Shared pieces of the communication dialog's tests: a fixed port list,
// loaders on pseudo-terminals, a log of the state field and components by
// name.
#pragma once

#include "Upgrade/TFormUpgrade.h"

#include "LinkTestSupport.h"
#include "PtyLoader.h"

#include <QLineEdit>
#include <QStringList>

#include <memory>

namespace upgradetest {

class FixedPorts : public serial::PortListProvider {
public:
    QList<serial::PortDevice> devices;
    QList<serial::PortDevice> Devices() const override { return devices; }
};

// A loader on a pseudo-terminal holding the sample in both kinds.
inline std::unique_ptr<sim::PtyLoader> StartLoader(sim::LoaderConfig config = {}) {
    auto loader = std::make_unique<sim::PtyLoader>(config);
    std::string error;
    if (!loader->Start(&error)) qFatal("no pseudo-terminal: %s", error.c_str());
    loader->With([](sim::LoaderCore& core) {
        core.SetImage(true, linktest::SampleFile(true));
        core.SetImage(false, linktest::SampleFile(false));
    });
    return loader;
}

inline std::unique_ptr<sim::PtyLoader> StartLoader(sim::Fault fault, int block = 0) {
    sim::LoaderConfig config;
    config.fault = fault;
    config.block = block;
    return StartLoader(config);
}

// Every text the state field shows, in order.
class StateLog {
public:
    explicit StateLog(upgrade::TFormUpgrade& dialog) : field_(dialog.findChild<QLineEdit*>("Edit_Start")) {
        QObject::connect(field_, &QLineEdit::textChanged, [this](const QString& t) { texts << t; });
    }
    QStringList texts;
    QString now() const { return field_->text(); }

private:
    QLineEdit* field_;
};

template <class T> T* Child(QObject& o, const char* name) {
    T* c = o.findChild<T*>(QLatin1String(name));
    if (!c) qFatal("no component %s", name);
    return c;
}

// Options over `ports`, with pauses that pass at once.
inline upgrade::LinkOptions Options(const FixedPorts& ports, const QString& settingsFile = {}) {
    upgrade::LinkOptions o;
    o.ports = &ports;
    o.clock = std::make_shared<linktest::FastPauseClock>();
    o.settingsFile = settingsFile;
    return o;
}

inline serial::PortDevice DeviceOf(const sim::PtyLoader& loader, const QString& name = QStringLiteral("pty")) {
    return {name, QString::fromStdString(loader.DevicePath())};
}

} // namespace upgradetest
