// The program's icon, carried in the executable: every size the installed
// icon theme gets, from the same pictures.
#pragma once

#include <QIcon>

namespace ui {

// The icon in every size from 16 to 256 pixels.
QIcon ProgramIcon();

// Gives the application the program's icon, so that the main window and
// every dialog show it.
void SetProgramIcon();

} // namespace ui
