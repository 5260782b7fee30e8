// "Compare with file...": a window of its own listing what changed between a
// chosen data file and the open list as it stands (unsaved edits included),
// grouped by satellites, transponders, programs and favourite groups, with a
// filter by the kind of change. It stays open beside the main window;
// "Refresh" compares again with the open list, "Swap sides" turns the
// comparison round.
#pragma once

#include "editing/Diff.h"
#include "model/Model.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class TFormCompare : public QDialog {
    Q_OBJECT
public:
    // The open list as it stands now.
    using Current = std::function<const dbase::Database&()>;

    TFormCompare(std::unique_ptr<dbase::Database> file, QString fileName, Current current, QWidget* parent = nullptr);
    ~TFormCompare() override;

    QLabel* Label_Sides = nullptr;
    QLabel* Label_Summary = nullptr;
    QComboBox* CB_Kind = nullptr; // "All changes", "Added", "Removed", "Changed", "Moved"
    QTreeWidget* TV_Diff = nullptr;
    QPushButton *SB_Swap = nullptr, *SB_Refresh = nullptr, *SB_Close = nullptr;

    // The differences shown, from the file to the open list unless swapped.
    const dbase::DatabaseDiff& Diff() const { return diff_; }
    bool Swapped() const { return swapped_; }

public slots:
    void SB_RefreshClick();
    void SB_SwapClick();
    void CB_KindChange();

private:
    void ShowDiff();

    std::unique_ptr<dbase::Database> file_;
    QString fileName_;
    Current current_;
    bool swapped_ = false;
    dbase::DatabaseDiff diff_;
};
