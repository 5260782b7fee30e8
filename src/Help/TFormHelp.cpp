#include "TFormHelp.h"

#include "ui/FormSetup.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

struct Section {
    const char* title;
    const char* text;
};

// The tasks in the order a first session meets them.
const Section kSections[] = {
    {"Open a file",
     "Press <b>File</b>, then <b>Open</b>, and choose <b>Channel Data(256K)</b> for a file of 262,144 bytes or "
     "<b>Default Data(128K)</b> for one of 131,072 bytes. <b>Last Files</b> holds the three files opened last. "
     "A file can also be dropped on the window, or named when the editor starts: <code>orbitlist FILE</code>."},
    {"Find and edit entries",
     "Click a satellite to list its transponders and programs, and a transponder to list only its programs. "
     "Double-click a satellite, transponder or program, or use the right-click menu of its list, to edit it. "
     "The <b>Add</b> buttons and the menus add, delete and reset entries; the transponder menu also deletes "
     "all empty transponders. A double-click on a favourite group renames it. <b>Ctrl+F</b> opens a filter "
     "field above the TV and radio lists: they then list only the programs whose name holds its text (in any "
     "case), or whose service id or PID is the number typed; <b>Conditions</b> beside it adds scrambled or "
     "free, locked, skipped, a favourite group, a service id or a PID. The row numbers stay those of the whole "
     "list. <b>Esc</b> in the field clears and hides it."},
    {"Select many programs",
     "Shift+click, Ctrl+click, Shift with the arrow keys and <b>Ctrl+A</b> select several programs; a plain "
     "click selects one. <b>Del</b> then deletes them all after one question, and the right-click menu's "
     "<b>Marks of selected</b> adds them to a favourite group or takes them out, locks, unlocks, skips or "
     "unskips them."},
    {"Mark programs",
     "Press one of the 18 buttons of the top bar (skip, lock, or one of the 16 favourite groups), then click "
     "programs in the TV or radio list: each click toggles that mark. While a mode is on, marked programs are "
     "shaded: favourite pink, lock blue, skip violet. Press the button again to go back to browsing. The "
     "favourite list shows locked groups in red and unlocked ones in green; its right-click menu locks and "
     "unlocks a group, and a click on a group lists its members."},
    {"Move entries",
     "With no marking mode on, drag a satellite, a transponder (within its satellite) or a program up or down "
     "its list: it moves one place for every row crossed; dragging selected programs moves them together. "
     "<b>Alt+Up</b> and <b>Alt+Down</b> move the current entry, or the selected programs, one place; "
     "<b>Alt+Home</b> and <b>Alt+End</b> to the top or the bottom; <b>Move to position...</b> in the "
     "right-click menu (<b>Ctrl+M</b>) asks for the place. These reach the first and the last row too. "
     "Programs do not move while the filter is on. The right-click menu's <b>Sort</b> orders the TV or the "
     "radio programs by name, by favourite group or by transponder. <b>Ctrl+Z</b> takes back each change."},
    {"Import transponders",
     "Right-click a satellite and choose <b>DownLoad From&nbsp; *.ini</b> to replace its transponders with those "
     "of a satellite <code>.ini</code> file."},
    {"Lists, comparing and printing",
     "<b>File</b>, <b>Export list...</b> writes the TV and radio lists as a CSV file for a spreadsheet. "
     "<b>Import list order...</b> takes a CSV list or another data file (an old one, after a new scan) and "
     "shows how many of its rows it finds before anything changes; OK puts the programs found first in its "
     "order, with its lock, skip and favourite marks, and <b>Undo</b> takes it all back. <b>Compare with "
     "file...</b> lists what differs between a file and the open list, and <b>Print list...</b> prints the lists "
     "or writes them to PDF. In the TV and radio menus, <b>Select duplicates</b> selects the second and later "
     "copies of every program listed twice."},
    {"Save", "<b>File</b>, <b>Save</b> writes the open file in its own size. <b>Save as...</b> writes it as "
             "<b>Channel Data(256K)</b> or <b>Default Data(128K)</b> under a name you choose. Closing the window with "
             "unsaved changes asks first."},
    {"Talk to the receiver",
     "Connect the receiver to a serial port. The toolbar button <b>Receiver</b> holds <b>Read from "
     "receiver</b>, which brings the receiver's channel data into a file and opens it, and <b>Write to "
     "receiver</b>, which sends the open file, saving it first when it has unsaved changes. In the "
     "communication dialog choose the port; <b>Restart</b> starts the exchange again and <b>Cancel</b> stops "
     "it."},
};

} // namespace

TFormHelp::TFormHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormHelp"));
    setWindowTitle(QStringLiteral("orbitlist Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::ApplyFormScaling(this);

    Text_Guide = new QTextBrowser(this);
    Text_Guide->setObjectName(QStringLiteral("Text_Guide"));
    Text_Guide->setOpenLinks(false);
    Text_Guide->setHtml(GuideHtml());

    SB_Close = new QPushButton(QStringLiteral("Close"), this);
    SB_Close->setObjectName(QStringLiteral("SB_Close"));
    SB_Close->setDefault(true);
    connect(SB_Close, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SB_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text_Guide);
    layout->addLayout(buttons);
    resize(560, 620);
}

TFormHelp* TFormHelp::ShowGuide(QWidget* parent) {
    TFormHelp* guide = parent ? parent->findChild<TFormHelp*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!guide) guide = new TFormHelp(parent);
    guide->show();
    guide->raise();
    guide->activateWindow();
    return guide;
}

QString TFormHelp::GuideHtml() {
    QString html = QStringLiteral("<h2>Working with orbitlist</h2>");
    for (const Section& s : kSections)
        html += QStringLiteral("<h3>%1</h3><p>%2</p>").arg(QString::fromUtf8(s.title), QString::fromUtf8(s.text));
    return html;
}
