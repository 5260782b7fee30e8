#include "FileDialog.h"

#include <QFileDialog>
#include <QStringList>

#include <utility>

namespace ui {

namespace {

struct State {
    bool interactive = true;
    bool hasNext = false;
    QString next;
    FileDialog::Request last;
};

State& S() {
    static State state;
    return state;
}

QString Ask(QWidget* parent, bool save, const QString& caption, const QString& filter, const QString& suffix) {
    S().last = {save, caption, filter, suffix};
    if (S().hasNext) {
        S().hasNext = false;
        return std::exchange(S().next, QString());
    }
    if (!S().interactive) return {};

    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    // The overwrite question is the caller's own.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = FileDialog::qtFilter(filter).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

} // namespace

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                                    const QString& defaultSuffix) {
    return Ask(parent, false, caption, filter, defaultSuffix);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                                    const QString& defaultSuffix) {
    return Ask(parent, true, caption, filter, defaultSuffix);
}

void FileDialog::setNextFileName(const QString& name) {
    S().next = name;
    S().hasNext = true;
}

void FileDialog::clearNextFileName() {
    S().next.clear();
    S().hasNext = false;
}

void FileDialog::setInteractive(bool interactive) { S().interactive = interactive; }

const FileDialog::Request& FileDialog::lastRequest() { return S().last; }

QString FileDialog::qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts[i];
        // Qt reads the patterns, separated by blanks, from the last pair of
        // brackets of an entry.
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (name.endsWith(QStringLiteral("(") + patterns + QLatin1Char(')')))
            out << name;
        else
            out << name + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace ui
