// The keyboard of the main window: the shortcuts of the File and Help items
// (shown in their popups, working wherever the focus is in the window), the
// keys that open the toolbar's popups under their buttons, and F2 or Enter
// in a grid, which edits its current entry as a double-click does.
#include "TFormMain.h"

#include <QApplication>
#include <QMenu>
#include <QToolBar>

namespace {

const QKeySequence kSaveAsKey(Qt::CTRL | Qt::SHIFT | Qt::Key_S);

} // namespace

void TFormMain::BuildShortcuts() {
    const std::pair<QAction*, QKeySequence> items[] = {
        {OpenData, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {OpenDefault, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
        {PMSave, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {PMExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {Help1, QKeySequence(Qt::Key_F1)},
    };
    for (auto [action, key] : items) action->setShortcut(key);
    // Ctrl+Shift+S sits on the Save as item of the open file's kind (UpdateFileItems).
    for (QAction* a : {OpenData, OpenDefault, PMSave, Save_Data, Save_Default, PMExit, Help1}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }

    // Alt+F, Alt+E, Alt+R and Alt+H open the toolbar's popups under their buttons.
    const std::tuple<QAction*, QMenu*, Qt::Key, const char*> popups[] = {
        {TB_File, PM_File, Qt::Key_F, "FileMenuKey"},
        {TB_Edit, PM_Edit, Qt::Key_E, "EditMenuKey"},
        {TB_Receiver, PM_Receiver, Qt::Key_R, "ReceiverMenuKey"},
        {TB_Help, PM_Help, Qt::Key_H, "HelpMenuKey"},
    };
    for (auto [button, menu, key, name] : popups) {
        auto* open = new QAction(this);
        open->setObjectName(QString::fromLatin1(name));
        open->setShortcut(QKeySequence(Qt::ALT | key));
        open->setShortcutContext(Qt::WindowShortcut);
        addAction(open);
        button->setToolTip(button->text() + QStringLiteral(" (") + open->shortcut().toString(QKeySequence::NativeText) +
                           QLatin1Char(')'));
        connect(open, &QAction::triggered, this, [this, b = button, m = menu] { PopUpUnder(b, m); });
    }

    // F2 and Enter in a grid edit its current entry. The popup items show F2;
    // their own shortcut only acts while their popup is open.
    const std::pair<StringGrid*, QAction*> grids[] = {
        {SG_Sat, Change_Sat}, {SG_TP, Change_Tp}, {SG_TV, Change_TV}, {SG_Radio, Change_Radio}};
    for (auto [grid, change] : grids) {
        change->setShortcut(QKeySequence(Qt::Key_F2));
        change->setShortcutContext(Qt::WidgetShortcut);
        connect(grid, &StringGrid::EditKey, this, [this, g = grid] { EditCurrentEntry(g); });
    }
}

void TFormMain::PopUpUnder(QAction* button, QMenu* menu) {
    QWidget* w = ToolBar1->widgetForAction(button);
    menu->popup(w ? w->mapToGlobal(QPoint(0, w->height())) : mapToGlobal(QPoint(0, 0)));
}

void TFormMain::EditCurrentEntry(StringGrid* grid) {
    // Only the window's own keys: never over a dialog it opened.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
    if (grid == SG_Sat) {
        // A double-click edits a satellite from its name column; the key
        // edits the satellite of the current row wherever the cell is.
        const QModelIndex current = SG_Sat->currentIndex();
        if (!current.isValid()) return;
        if (current.column() != 1) SG_Sat->setCurrentIndex(current.siblingAtColumn(1));
        SG_SatDblClick();
    } else if (grid == SG_TP) {
        SG_TPDblClick();
    } else if (grid == SG_TV) {
        SG_TVDblClick();
    } else if (grid == SG_Radio) {
        SG_RadioDblClick();
    }
}

void TFormMain::UpdateFileItems() {
    // The File popup's rule, kept at every change so that the shortcuts
    // follow it between openings of the popup.
    PMSave->setEnabled(Doc().FileOpened());
    Save_As->menuAction()->setEnabled(Doc().FileOpened());
    const bool channel = Doc().Is256K();
    Save_Data->setShortcut(channel ? kSaveAsKey : QKeySequence());
    Save_Default->setShortcut(channel ? QKeySequence() : kSaveAsKey);
}
