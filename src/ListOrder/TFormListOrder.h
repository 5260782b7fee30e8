// "Import list order...": what putting the open file into the order of a
// list (a CSV file or another data file) would do, shown before anything is
// applied: how many rows were found, the rows not found, and whether the
// list's names are taken too. OK hands the list and its plan back to the
// main window, which applies them as one step.
#pragma once

#include "ui/EditorDialog.h"

#include "base/Status.h"
#include "editing/Lists.h"
#include "model/Model.h"

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;

class TFormListOrder : public ui::EditorDialog {
    Q_OBJECT
public:
    // Reads the list, with its names checked (true) or not.
    using Reader = std::function<dbase::Status(bool names, dbase::ListFile& list)>;

    TFormListOrder(const dbase::Database& db, const QString& source, Reader read, QWidget* parent = nullptr);

    // Reads the list and finds its rows; false, after an error box, when it
    // can not be read.
    bool Prepare();

    QLabel* Label_Source = nullptr;
    QLabel* Label_Summary = nullptr;
    QLabel* Label_NotFound = nullptr;
    QListWidget* LB_NotFound = nullptr;
    QCheckBox* ChB_Names = nullptr;

    // The outcome: OK was pressed, and with or without the names.
    bool Accepted = false;
    bool Names = false;
    const dbase::ListFile& List() const { return list_; }
    const dbase::ListPlan& Plan() const { return plan_; }

    // A row not found, as the list shows it: "Line 7: tv 19.2 11361 H 1000 "Name"".
    static QString RowText(const dbase::ListRow& row);

public slots:
    void SB_OKClick() override;
    void ChB_NamesClick();

private:
    const dbase::Database& db_;
    Reader read_;
    dbase::ListFile list_;
    dbase::ListPlan plan_;
};
