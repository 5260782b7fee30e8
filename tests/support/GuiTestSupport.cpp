#include "GuiTestSupport.h"

#include "SampleData.h"
#include "format/DataFile.h"
#include "ui/FileDialog.h"
#include "ui/InputDialog.h"
#include "ui/MessageBox.h"
#include "ui/PrintDialog.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QTest>

namespace guitest {

QToolButton* FavButton(const QObject& form, int group) {
    const QByteArray name = QStringLiteral("SB_Fav%1").arg(group + 1, 2, 10, QLatin1Char('0')).toLatin1();
    return Widget<QToolButton>(form, name.constData());
}

namespace {
QtMessageHandler previousHandler = nullptr;

// The offscreen platform reports every window feature it lacks; those
// reports say nothing about the program.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (previousHandler) previousHandler(type, context, message);
}
} // namespace

Env::Env() {
    if (!previousHandler) previousHandler = qInstallMessageHandler(QuietHandler);
    qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("config")).toUtf8());
    ui::MessageBox::setInteractive(false);
    ui::FileDialog::setInteractive(false);
    ui::InputDialog::setInteractive(false);
    ui::PrintDialog::setInteractive(false);
    ui::MessageBox::clearShown();
    ui::MessageBox::setNextAnswer(ui::MessageBox::NoButton);
    ui::FileDialog::clearNextFileName();
    ui::InputDialog::clearNextAnswers();
}

QString WriteDataFile(const dbase::Database& db, const QString& path, bool channel) {
    std::vector<uint8_t> bytes;
    const auto mode = channel ? dbase::SaveMode::Channel : dbase::SaveMode::Default;
    if (!dbase::BuildSaveBytes(db, mode, bytes)) qFatal("sample database could not be built");
    if (!dbase::WriteFileAtomic(QFile::encodeName(path).toStdString(), bytes)) qFatal("sample file not written");
    return path;
}

QString WriteSample(const Env& env, const QString& name, bool channel) {
    auto db = sample::BuildSample();
    return WriteDataFile(*db, env.path(name), channel);
}

QString CopyBundledSample(const Env& env, const QString& name) {
    const QString target = env.path(name);
    QFile::remove(target);
    if (!QFile::copy(QStringLiteral(ORBITLIST_SAMPLE_FILE), target)) qFatal("bundled sample missing");
    QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

QString WriteZeros(const QString& path, qint64 bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("scratch file not written");
    f.write(QByteArray(static_cast<qsizetype>(bytes), '\0'));
    return path;
}

std::unique_ptr<TFormMain> MakeForm(const Env& env, bool show) {
    auto form = std::make_unique<TFormMain>(env.files());
    if (show) {
        form->setWindowState(Qt::WindowNoState);
        form->resize(1280, 800);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) qWarning("main window not exposed");
    }
    return form;
}

void OpenThroughMenu(TFormMain& form, const QString& path, bool channel) {
    ui::FileDialog::setNextFileName(path);
    emit Widget<QMenu>(form, "PM_File")->aboutToShow();
    (channel ? Widget<QAction>(form, "OpenData") : Widget<QAction>(form, "OpenDefault"))->trigger();
}

void ChooseFileItem(TFormMain& form, QAction* item) {
    emit Widget<QMenu>(form, "PM_File")->aboutToShow();
    item->trigger();
}

void ClickRow(StringGrid* grid, int row, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(grid->viewport(), button, modifiers, RowMiddle(grid, row));
}

QPoint RowMiddle(StringGrid* grid, int row) {
    const QModelIndex index = grid->model()->index(row - grid->FixedRows(), 1);
    grid->scrollTo(index);
    const QRect r = grid->visualRect(index);
    if (!r.isValid()) qFatal("row %d is not in the grid", row);
    return r.center();
}

void DragAlong(StringGrid* grid, int from, std::initializer_list<int> path) {
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, RowMiddle(grid, from));
    int last = from;
    for (int row : path) {
        QTest::mouseMove(grid->viewport(), RowMiddle(grid, row));
        last = row;
    }
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, RowMiddle(grid, last));
}

void ActivateForm(TFormMain& form) {
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form)) qWarning("main window not active");
}

QString CellText(const StringGrid* grid, int row, int col) {
    return grid->model()->index(row - grid->FixedRows(), col).data().toString();
}

QStringList ColumnTexts(const StringGrid* grid, int col) {
    QStringList texts;
    // Row 1 is the first data row in every grid.
    for (int r = 1; r < grid->RowCount(); ++r) texts << CellText(grid, r, col);
    return texts;
}

QStringList ListTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
}

QStringList TakeShownTexts() {
    QStringList texts;
    for (const auto& shown : ui::MessageBox::shown()) texts << shown.text;
    ui::MessageBox::clearShown();
    return texts;
}

} // namespace guitest
