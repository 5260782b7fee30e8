// The main window: toolbar, top bar with the marking buttons, the satellite,
// transponder, TV and radio grids, the favourite list, the info panel and the
// popup menus through which every command is reached.
//
// The class is split over several files by feature:
//   TFormMain.cpp     construction, window events (close, drop, hand-off)
//   Layout.cpp        panels, grids, splitters, toolbar and top bar
//   Menus.cpp         popup menus, their enabling rules, toolbar handlers
//   ListViews.cpp     fill operations, the selection cascade, cell colours
//   InfoPanel.cpp     the info panel
//   FileWorkflow.cpp  open, save, save as, recent files
//   Marking.cpp       marking buttons (favourite, lock, skip)
//   DragMoves.cpp     moving entries by dragging, by the keyboard and to a position
//   FindFilter.cpp    the filter field above the program grids
//   EditCommands.cpp  editor dialogs, add/delete/reset, sorting, .ini import
//   History.cpp       undo and redo, and the selection that follows them
//   StatusLine.cpp    the status line: path, "Modified", counts, notes
//   Shortcuts.cpp     the keyboard: item shortcuts, popup keys, F2 and Enter
//   ListCommands.cpp  CSV export, list order import, comparing, printing, duplicates
#pragma once

#include "StringGrid.h"
#include "Upgrade/TFormUpgrade.h"
#include "document/Document.h"
#include "editing/Find.h"
#include "editing/Marks.h"
#include "model/Model.h"
#include "settings/RecentFiles.h"
#include "viewlogic/DragSteps.h"
#include "viewlogic/MarkButtons.h"

#include <QColor>
#include <QMainWindow>
#include <QRect>
#include <QString>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPainter;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class PictureView;

// The window class name a second start of the program looks for.
inline constexpr const char* kWindowClassName = "\u3010ORBITLIST 1.0.0\u3011";
inline constexpr const char* kMainCaption = "QX_COMMON_ORBITLIST_TOOL V1.1.8 Loadini_onetp";
// The filter and default suffix of the dialogs that name a data file; the
// first entry, selected, shows the names data files have.
inline constexpr const char* kDataFileFilter = "Channel files (*.bin *.BIN *.img *.IMG)|*.bin;*.BIN;*.img;*.IMG|"
                                               "Settings Files(*.img)|*.img|All File(*.*)|*.*";
inline constexpr const char* kDataFileSuffix = "BIN";

// Files the main window works with.
struct MainWindowFiles {
    QString settingsFile; // "ORBITLIST.ini" with the recent-file list
    QString workFile;     // the working copy of the open image
};

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(MainWindowFiles files, QWidget* parent = nullptr);
    ~TFormMain() override;

    // The open file's data, its state and its edit history. Every change of
    // the data goes through the document as one step.
    dbase::Document& Doc() { return *doc_; }
    const dbase::Document& Doc() const { return *doc_; }
    const dbase::Database& Db() const { return doc_->Db(); }
    const MainWindowFiles& Files() const { return files_; }

    // What the views keep beside their widgets: which list the user picked
    // last, the favourite group picked in the favourite list, the marking
    // buttons' MarkFavPos and the rows remembered for a drag.
    struct ViewState {
        bool activeOnly = false;
        bool satSelected = false, tpSelected = false, tvSelected = false, radioSelected = false;
        bool favListSelected = false;
        int selectedFavGroup = -1;
        int markFavPos = 0;
        dbase::DragRows dragRows;
    };
    ViewState View() const;
    // What the communication dialog is built on (ports, clock); tests replace it.
    void SetReceiverLinkOptions(const upgrade::LinkOptions& options) { ReceiverLinkOptions = options; }

    // The file "Save" writes to.
    QString CurrentFile() const;
    void SetCurrentFile(const QString& path);

    // Expected size of the open kind of file.
    uint32_t FileSizeExpected() const;

private:
    // ---- Components (named as the handlers and tests refer to them) ----
    QWidget* CoolBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QAction *TB_File = nullptr, *TB_Edit = nullptr, *TB_Help = nullptr, *TB_Exit = nullptr;
    PictureView* ImageMain = nullptr;
    QWidget* Panel_Top = nullptr;
    QFrame* Panel_FileName = nullptr;
    QLabel* LabelFileName = nullptr;
    QWidget* Panel_EditFav = nullptr;
    QToolButton *SB_Skip = nullptr, *SB_Lock = nullptr;
    std::array<QToolButton*, dbase::kFavGroups> SB_Fav{}; // SB_Fav01 .. SB_Fav16
    QWidget* PanelMain = nullptr;
    QSplitter* SplitterColumns = nullptr;
    QSplitter *SplitterSatInfo = nullptr, *SplitterTraFav = nullptr;
    QWidget *Panel_SatInfo = nullptr, *Panel_TraFav = nullptr, *Panel_TV = nullptr, *Panel_Rad = nullptr;
    QWidget *P_Sate = nullptr, *Panel_Info = nullptr, *Panel_Tra = nullptr, *Panel_FAV = nullptr;
    StringGrid *SG_Sat = nullptr, *SG_TP = nullptr, *SG_TV = nullptr, *SG_Radio = nullptr;
    QListWidget *LB_Info = nullptr, *LB_FAV = nullptr;
    QToolButton *SB_NewTp = nullptr, *SB_NewTv = nullptr, *SB_NewRadio = nullptr;
    QLabel *Label_TvState = nullptr, *Label_RadioState = nullptr;
    // Hidden buttons that replay a click on their grid's current row.
    QPushButton *B_Sat = nullptr, *B_TP = nullptr, *B_TV = nullptr, *B_Radio = nullptr, *B_FAV = nullptr;

    // Popup menus and their items. A submenu's item is its menuAction().
    QMenu *PM_File = nullptr, *PM_Edit = nullptr, *PM_Help = nullptr, *PM_Sate = nullptr, *PM_TP = nullptr,
          *PM_Tv = nullptr, *PM_Radio = nullptr, *PM_FAV = nullptr;
    QMenu *PMOpen = nullptr, *PMLastFiles = nullptr, *Save_As = nullptr, *New = nullptr, *Sore1 = nullptr,
          *Sore2 = nullptr;
    QAction *OpenData = nullptr, *OpenDefault = nullptr;
    QAction *LastFileName1 = nullptr, *LastFileName2 = nullptr, *LastFileName3 = nullptr;
    QAction *PMSave = nullptr, *Save_Data = nullptr, *Save_Default = nullptr, *PMExit = nullptr;
    // Lists in and out: CSV export, the order of another list, comparing
    // with a file, printing.
    QAction *ExportList = nullptr, *ImportListOrder = nullptr, *CompareWithFile = nullptr, *PrintList = nullptr;
    QAction *Help1 = nullptr, *About1 = nullptr;
    // The Edit popup: "Undo <step>" and "Redo <step>", also on Ctrl+Z,
    // Ctrl+Shift+Z and Ctrl+Y anywhere in the window.
    QAction *EditUndo = nullptr, *EditRedo = nullptr;
    QAction *Show_Act_Sat = nullptr, *Change_Sat = nullptr, *ResetSatellite1 = nullptr, *DownLoadFromini1 = nullptr;
    QAction *Change_Tp = nullptr, *New_Tp = nullptr, *New_Tp_Tv = nullptr, *New_Tp_Radio = nullptr,
            *Delete_Tp = nullptr, *Del_All_Empty_Tp = nullptr;
    QAction *Change_TV = nullptr, *New_Tv = nullptr, *Delete_Tv = nullptr;
    QAction *SorebyAZ1 = nullptr, *SorebyTp1 = nullptr, *SorebyFav1 = nullptr;
    QAction *Change_Radio = nullptr, *New_Radio = nullptr, *Delete_Radio = nullptr;
    QAction *SorebyAZ2 = nullptr, *SorebyTp2 = nullptr, *SorebyFav2 = nullptr;
    // "Select duplicates" in the TV and the radio popup.
    QAction *SelectDuplicates1 = nullptr, *SelectDuplicates2 = nullptr;
    QAction *PMLock = nullptr, *PMUnlock = nullptr;
    // Besides the hidden sort submenus: "Sort" with the same three sorts, and
    // "Marks of selected" with the marks of every selected program.
    QMenu *SortTv = nullptr, *SortRadio = nullptr, *MarksTv = nullptr, *MarksRadio = nullptr;
    // "Move to position..." in the four grids' popups (Ctrl+M in the grid).
    QAction *MovePosSat = nullptr, *MovePosTp = nullptr, *MovePosTv = nullptr, *MovePosRadio = nullptr;

    // The filter above the TV and radio grids: Ctrl+F shows it, Esc in its
    // field clears and hides it.
    QAction* FindPrograms = nullptr;
    QWidget* FilterBar = nullptr;
    QLineEdit* FilterEdit = nullptr;
    QToolButton *FilterConditions = nullptr, *FilterClose = nullptr;
    QLabel* FilterCount = nullptr;
    QMenu *PM_Filter = nullptr, *FilterFavMenu = nullptr;
    QAction *FilterScrambled = nullptr, *FilterFree = nullptr, *FilterLocked = nullptr, *FilterNotLocked = nullptr,
            *FilterSkipped = nullptr, *FilterNotSkipped = nullptr, *FilterSid = nullptr, *FilterPid = nullptr,
            *FilterClearConditions = nullptr;
    std::array<QAction*, dbase::kFavGroups> FilterFav{};
    // The receiver link: toolbar button "Receiver" and its popup.
    QAction* TB_Receiver = nullptr;
    QMenu *PM_Receiver = nullptr, *ReadReceiver = nullptr;
    QAction *ReadChannel = nullptr, *ReadDefault = nullptr, *WriteReceiver = nullptr;
    // What the communication dialog is built on (ports, clock).
    upgrade::LinkOptions ReceiverLinkOptions;
    // The status line: the open file's full path, a note on the last open or
    // save (a save without a backup), "Modified" while DataChanged is set,
    // and the counts of the open database.
    QStatusBar* StatusLine = nullptr;
    QLabel *StatusPath = nullptr, *StatusNote = nullptr, *StatusModified = nullptr, *StatusCounts = nullptr;

    // ---- State of the views ----
    bool ActiveOnly = false;
    bool SatSelected = false, TpSelected = false, TvSelected = false, RadioSelected = false;
    bool FavListSelected = false;
    std::array<uint8_t, dbase::kSatSlots> SatActive{};
    // Marking: which of the 18 buttons is down, which are enabled, and the
    // MarkFavPos of the button down. The buttons on screen show this state.
    dbase::MarkButtons Marks;
    // The favourite group picked in the favourite list.
    int SelectedFavGroup = -1;
    // Results of the editor dialogs and the add commands.
    bool EditAccepted = false, AddTpMode = false, AddTvMode = false, AddRadioMode = false;
    bool TvAdded = false, RadioAdded = false;
    // Rows remembered at the last mouse-down, for drag moves.
    dbase::DragRows dragRows_;
    // The recent files as read when the File menu last opened.
    dbase::RecentFileList RecentFiles;

public slots:
    // ---- Form ----
    void ResetMainView();
    // Answers a second start of the program: restores the window when it is
    // minimised, else brings it to the front.
    void RestoreOrRaise();
    // Opens a file named from outside the menus (command line, a second
    // start, a drop) the way a recent-file item does.
    void OpenFileFromOutside(const QString& path);

    // ---- Toolbar and popup menus (Menus.cpp) ----
    void TB_FileClick();
    void TB_EditClick();
    void TB_HelpClick();
    void TB_ExitClick();
    // Enabling rules, run each time the popup opens.
    void PM_FilePopup();
    void PM_EditPopup();
    void PM_SatePopup();
    void PM_TPPopup();
    void PM_TvPopup();
    void PM_RadioPopup();

    // ---- Status line (StatusLine.cpp) ----
    void UpdateStatusLine();
    // Shows `text` in the status line until the next open, save or close.
    void ShowNote(const QString& text);
    // "6 satellites, 33 transponders, 120 TV, 18 radio"; empty without a file.
    QString CountsText() const;

    // ---- Undo and redo (History.cpp) ----
    void UndoClick();
    void RedoClick();
    // Ends the step a drag gesture keeps open from its first exchange.
    void EndDragStep();

    // ---- List views (ListViews.cpp) ----
    void ClearViews();
    void ShowAllSatellites();
    void ShowActiveSatellites();
    // Fill the grids with the given slots (each grid then the ones after it);
    // without arguments they fill again with the slots they show.
    void FillSatGrid();
    void FillTpGrid();
    void FillProgGrids();
    void FillSatGrid(std::vector<int> sats, std::vector<int> tps, dbase::ProgLists progs);
    void FillTpGrid(std::vector<int> tps, dbase::ProgLists progs);
    void FillProgGrids(dbase::ProgLists progs);
    void SG_SatClick();
    void SG_TPClick();
    void SG_TVClick();
    void SG_RadioClick();
    void Show_Act_SatClick();
    void SG_SatMouseWheelDown();
    void SG_SatMouseWheelUp();
    void SG_TPMouseWheelDown();
    void SG_TPMouseWheelUp();
    void SG_TVMouseWheelDown();
    void SG_TVMouseWheelUp();
    void SG_RadioMouseWheelDown();
    void SG_RadioMouseWheelUp();

    // ---- Info panel (InfoPanel.cpp) ----
    void ShowInfo(int sat, int tp, int prog);

    // ---- File workflow (FileWorkflow.cpp) ----
    // "Channel Data(256K)" (true) or "Default Data(128K)" (false) under "Open".
    void OpenDataClick(bool channel);
    // Opens `path` as the kind in Is256K; returns true when it is open.
    bool OpenImageFile(const QString& path);
    // Recent-file item 0..2.
    void LastFileName1Click(int index);
    void PMSaveClick();
    // The Save command's saving step; false (after an error box) when it failed.
    bool SaveCurrentFile();
    // "Channel Data(256K)" (true) or "Default Data(128K)" (false) under "Save as...".
    void Save_DataClick(bool channel);

    // ---- Marking (Marking.cpp) ----
    void EnableFavButtons(int n);
    void SB_FavClick(int group); // SB_Fav01Click .. SB_Fav16Click, group 0..15
    void SB_LockClick();
    void SB_SkipClick();
    void SG_SatMouseDown();
    void LB_FAVClick();
    void LB_FAVDblClick();
    void PMLockClick();
    void PMUnlockClick();
    void ToggleMarks(int prog);
    void SetMarkCaptions(int n);

    // ---- Filter (FindFilter.cpp) ----
    void ShowFilter();
    // Clears the text and every condition, hides the field and lists the
    // programs without it.
    void HideFilter();
    // Lists again with the field's text and the conditions as they stand.
    void ApplyFilter();

    // ---- Moves (DragMoves.cpp) ----
    // Moves the current entry of `grid` (the selected ones of a program
    // grid) one place up or down, to the top, to the bottom, or (To) to
    // list place `to`, as one step. Nothing moves where the grid's rules do
    // not allow it.
    void MoveEntries(StringGrid* grid, dbase::MoveKind kind, int to = 0);
    // "Move to position...": asks for the target number and moves there.
    void MoveToPositionClick(StringGrid* grid);
    void SG_SatMouseMove();
    void SG_TPMouseMove();
    void SG_TVMouseMove();
    void SG_RadioMouseMove();
    void SG_TVMouseUp();
    void SG_RadioMouseUp();

    // ---- Editors, add/delete/reset, sorting, import, link (EditCommands.cpp) ----
    void SG_SatDblClick();
    void SG_TPDblClick();
    void SG_TVDblClick();
    void SG_RadioDblClick();
    void ResetSatellite1Click();
    void DownLoadFromini1Click();
    void New_TpClick();
    void New_TvClick();
    void New_RadioClick();
    void Delete_TpClick();
    void Del_All_Empty_TpClick();
    void Delete_TvClick();
    void Delete_RadioClick();
    void SorebyAZ1Click();
    void SorebyTp1Click();
    void SorebyFav1Click();
    void SorebyAZ2Click();
    void SorebyTp2Click();
    void SorebyFav2Click();
    // "Marks of selected": sets (`on`) or clears the mark of `button` on every
    // selected program of the TV or the radio grid, as one step.
    void SetMarksOfSelected(bool radio, int button, bool on);
    // ---- Lists in and out (ListCommands.cpp) ----
    void ExportListClick();
    void ImportListOrderClick();
    void CompareWithFileClick();
    void PrintListClick();
    void SelectDuplicates1Click();
    void SelectDuplicates2Click();
    // ---- Receiver link (ReceiverCommands.cpp) ----
    void TB_ReceiverClick();
    void PM_ReceiverPopup();
    // Reads the database back from the receiver: "Channel Data(256K)" (true)
    // or "Default Data(128K)" (false) under "Read from receiver".
    void ReadDataClick(bool channel);
    void WriteChannelDataClick();

public:
    // Slots of the current rows of the four grids (-1 for an unbound row, and
    // for row 0 of the satellite grid).
    int SelectedSat() const;
    int SelectedTp() const;
    int SelectedTv() const;
    int SelectedRadio() const;
    // The favourite-name dialog for group 0..15; on OK the list item and the
    // marking button's hint take the new name.
    void OpenFavNameDialog(int group);

    // Selects, in the TV and the radio grid, the rows that show `wanted`
    // (those shown), the first of each grid becoming its current row; the TV
    // grid, or the radio grid when the TV grid shows none of them, takes the
    // focus and the info panel shows its current program. In a marking mode
    // each grid selects its first one only.
    // Returns the number of rows selected.
    int SelectProgramSlots(const std::vector<int>& wanted);
    // The conditions the filter applies; empty while it is hidden.
    const dbase::ProgFilter& Filter() const { return filter_; }
    bool FilterOn() const { return !filter_.Empty(); }
    // The programs the TV and radio grids list, before the filter.
    dbase::ProgLists ListedProgs() const;

    // ---- Favourite list drawing (Marking.cpp) ----
    // Height of item `index` of LB_FAV.
    int LB_FAVMeasureItem(int index) const;
    // Draws item `index` of LB_FAV into `rect`: red text for a locked group,
    // green for an unlocked one, on the window colour.
    void LB_FAVDrawItem(QPainter* painter, const QRect& rect, int index) const;
    // The colour LB_FAV draws the text of item `index` in.
    QColor FavItemColour(int index) const;

    // ---- Cell colours (ListViews.cpp) ----
    CellStyle SG_SatDrawCell(int row, int col, bool selected) const;
    CellStyle SG_TPDrawCell(int row, int col, bool selected) const;
    CellStyle SG_TVDrawCell(int row, int col, bool selected) const;
    CellStyle SG_RadioDrawCell(int row, int col, bool selected) const;

    // True when grid row `row` of `grid` is bound to a slot.
    bool RowBound(const StringGrid* grid, int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ResetView(bool closeDocument);
    // Layout.cpp
    void BuildToolbar();
    void BuildTopBar();
    void BuildColumns();
    void SetUpGrids();
    void LayOutColumns();
    QWidget* TitlePanel(const QString& title, QWidget* parent, QLabel** titleLabel = nullptr);
    // Menus.cpp
    void BuildMenus();
    // The enabling of the items beyond the popup's own: sorts, marks of the
    // selection, the move to a position.
    void ProgPopupExtras(StringGrid* grid, QMenu* sort, QMenu* marks, QAction* movePos);
    // StatusLine.cpp, Shortcuts.cpp
    void BuildStatusLine();
    void BuildShortcuts();
    void PopUpUnder(QAction* toolbarButton, QMenu* menu);
    // F2 or Enter in `grid`: its double-click on the current row.
    void EditCurrentEntry(StringGrid* grid);
    void UpdateFileItems();
    void AfterDocumentChange();
    // Marking.cpp
    void BuildMarkButtons(QWidget* panel);
    void SetUpFavList();
    QToolButton* MarkButton(int button) const;
    void ShowMarkButtons();
    void ShowCaptions(const dbase::MarkCaptions& captions);
    void RepaintProgGrids();
    // DragMoves.cpp
    bool DragBlock(StringGrid* grid, int& dragRow);
    // True when the program grids may move entries now; otherwise says why
    // beside `grid` when `tell` is set.
    bool ProgramMovesAllowed(StringGrid* grid, bool tell) const;
    // FindFilter.cpp
    void BuildFilterBar();
    void PlaceFilterBar();
    void ShowFilterCount();
    void ShowFilterConditions();
    void AskFilterNumber(bool pid);
    // The filter of the grids made again for the data as it stands.
    void RefreshMatcher();
    // EditCommands.cpp
    void EditProgram(bool radio);
    void AddProgram(bool radio);
    // The programs a delete takes: the selected ones when several are
    // selected, else the current one.
    std::vector<int> ProgramsToDelete(StringGrid* grid) const;
    void DeleteProgram(bool radio);
    void SortPrograms(bool radio, int key);
    // The satellite the grids are narrowed to, or -1 for all of them.
    int ShownSat() const;
    // History.cpp
    void AfterHistoryMove(const std::optional<dbase::StepFocus>& focus);
    void SelectSatSlot(int sat);
    bool SelectTpSlot(int tp);
    bool SelectProgSlot(int prog);
    void RefillViews();
    // True when the grids show the slots they would be filled with now.
    bool ListsUnchanged() const;
    // ReceiverCommands.cpp
    void BuildReceiverMenu();
    // ListCommands.cpp
    void SelectDuplicates(bool radio);
    // The name of the open file without its folders.
    QString OpenFileName() const;
    // FileWorkflow.cpp
    bool ConfirmDiscard();
    // True when no dialog, box, menu, waiting form or communication dialog
    // is up and no command is on the stack: a handed-over file may open.
    bool IdleForHandOff() const;
    void OpenPendingFile();
    // False, after a box naming it, for a destination that exists and is not
    // a regular file (or a link to one); checked before anything is opened.
    bool DestinationUsable(const QString& path);
    // Says in the status line, and once per run on stderr, that the
    // settings file can not be read or written.
    void NoteSettingsWrite(const dbase::Status& status);
    // Tells in the status line what the backup before the last save or
    // read-back did.
    void NoteBackup();
    void ShowFileName(const QString& prefix, const QString& path);
    void FitFileNamePanel();
    bool FormCloseQuery();
    bool OpenImageFile(const QString& path, bool afterSaveAs);
    void FormClose();
    void ShowOpenedState();
    // ListViews.cpp
    int OwnerSatOfSelection() const;
    int OwnerTpOfSelection() const;
    CellStyle ProgCellStyle(const StringGrid* grid, int row, int col, bool selected) const;
    void ScrollGrid(StringGrid* grid, int lines);

    std::unique_ptr<dbase::Document> doc_;
    MainWindowFiles files_;
    bool workFileWritten_ = false;
    // A file handed over while the window was busy, and the timer that
    // opens it once the window is idle.
    QString pendingOpen_;
    QTimer* handOffTimer_ = nullptr;
    bool settingsWarned_ = false;
    bool columnsPending_ = true;
    // The filter's conditions, and the test of a program against them.
    dbase::ProgFilter filter_;
    std::unique_ptr<dbase::ProgMatcher> matcher_;
    QWidget *filterSpaceTv_ = nullptr, *filterSpaceRadio_ = nullptr;
};
