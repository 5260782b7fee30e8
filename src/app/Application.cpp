#include "Application.h"

#include "ui/MessageBox.h"

#include <cstdio>
#include <exception>
#include <new>

namespace app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

QString Application::FailureText(const QString& reason) {
    return QStringLiteral("The command was stopped: %1.\r\rThe open file and its unsaved changes are kept.")
        .arg(reason);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    QString reason;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("there is not enough memory for it");
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    } catch (...) {
        reason = QStringLiteral("an unexpected error");
    }
    std::fprintf(stderr, "orbitlist: %s\n", qPrintable(reason));
    // A failure while the box itself is up is only written to stderr.
    if (!reporting_) {
        reporting_ = true;
        ui::MessageBox::error(activeWindow(), FailureText(reason));
        reporting_ = false;
    }
    return false;
}

} // namespace app
