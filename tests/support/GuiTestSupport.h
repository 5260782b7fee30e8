// Shared pieces of the GUI tests: a scratch folder, data files written from
// the sample builders, a main window wired to the scratch folder, and clicks
// on grid rows the way a user makes them.
#pragma once

#include "Main/TFormMain.h"
#include "model/Model.h"

#include <QString>
#include <QToolButton>

#include <QTemporaryDir>
#include <initializer_list>

#include <initializer_list>
#include <memory>

namespace guitest {

// The child of `root` of type W named `name` (every widget, menu and item of
// the windows has one); stops the test with the name when there is none.
template <class W> W* Widget(const QObject& root, const char* name) {
    W* found = root.findChild<W*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s named \"%s\" under %s", W::staticMetaObject.className(), name, root.metaObject()->className());
    return found;
}
// Favourite button SB_Fav01 .. SB_Fav16 for group 0..15.
QToolButton* FavButton(const QObject& form, int group);

// Switches message boxes and file dialogs to scripted answers, points the
// per-user folders at a scratch folder and forgets earlier boxes.
class Env {
public:
    Env();
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString settingsFile() const { return path(QStringLiteral("ORBITLIST.ini")); }
    QString workFile() const { return path(QStringLiteral("KESTREL_BACKUP.BIN")); }
    MainWindowFiles files() const { return {settingsFile(), workFile()}; }

private:
    QTemporaryDir dir_;
};

// Writes `db` as a Channel (262,144 bytes) or Default (131,072 bytes) data
// file; returns the path.
QString WriteDataFile(const dbase::Database& db, const QString& path, bool channel);
// Writes the bundled sample's database (the one behind samples/sample-channel.bin).
QString WriteSample(const Env& env, const QString& name = QStringLiteral("sample.bin"), bool channel = true);
// Copies samples/sample-channel.bin into the scratch folder.
QString CopyBundledSample(const Env& env, const QString& name = QStringLiteral("bundled.bin"));
// Writes `bytes` of zeros (a file of the wrong kind or a broken one).
QString WriteZeros(const QString& path, qint64 bytes);

// A main window over the scratch folder, shown offscreen at a fixed size.
std::unique_ptr<TFormMain> MakeForm(const Env& env, bool show = true);

// Opens `path` through the File menu ("Channel Data(256K)" or "Default Data(128K)").
void OpenThroughMenu(TFormMain& form, const QString& path, bool channel = true);

// Chooses `item` of the File popup, opened first as a user opens it (which
// runs its enabling rules).
void ChooseFileItem(TFormMain& form, QAction* item);

// Clicks grid row `row` with the left mouse button (the row is scrolled into view).
void ClickRow(StringGrid* grid, int row, Qt::MouseButton button = Qt::LeftButton,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The middle of grid row `row` in the grid's viewport (scrolled into view).
QPoint RowMiddle(StringGrid* grid, int row);
// Presses the left button on row `from`, moves over the rows of `path` with
// the button held and releases it over the last one.
void DragAlong(StringGrid* grid, int from, std::initializer_list<int> path);
// Makes the window active, so that its shortcuts and a grid's focus work.
void ActivateForm(TFormMain& form);

// Texts of column `col` of every data row of a grid ("" for unbound rows).
QStringList ColumnTexts(const StringGrid* grid, int col);
QString CellText(const StringGrid* grid, int row, int col);
QStringList ListTexts(const class QListWidget* list);

// Texts of the boxes shown since the last call (and forgets them).
QStringList TakeShownTexts();

} // namespace guitest
