#include "ProgramIcon.h"

#include <QApplication>

// The resources of a static library are registered by hand, outside any
// namespace.
static void RegisterIcons() { Q_INIT_RESOURCE(icons); }

namespace ui {

QIcon ProgramIcon() {
    RegisterIcons();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/program-%1.png").arg(size), QSize(size, size));
    return icon;
}

void SetProgramIcon() { QApplication::setWindowIcon(ProgramIcon()); }

} // namespace ui
