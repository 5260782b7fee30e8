#include "TFormMain.h"

#include "Pictures.h"
#include "ui/FormSetup.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

#include <utility>

TFormMain::TFormMain(MainWindowFiles files, QWidget* parent)
    : QMainWindow(parent), doc_(std::make_unique<dbase::Document>()), files_(std::move(files)) {
    setObjectName(QStringLiteral("FormMain"));
    setProperty("windowClassName", QString::fromUtf8(kWindowClassName));
    setWindowTitle(QString::fromLatin1(kMainCaption));
    resize(1103, 714);
    move(31, 120);
    setFont(ui::ArialPx(11));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ui::FromColorRef(14540253));
    setPalette(pal);
    setAcceptDrops(true);

    BuildToolbar();
    BuildColumns();
    BuildMenus();
    BuildFilterBar();
    BuildReceiverMenu();
    BuildShortcuts();
    BuildStatusLine();
    doc_->OnHistoryChanged([this] { PM_EditPopup(); });
    doc_->OnStateChanged([this] { AfterDocumentChange(); });
    ResetMainView();
}

void TFormMain::AfterDocumentChange() {
    UpdateStatusLine();
    UpdateFileItems();
}

TFormMain::~TFormMain() = default;

TFormMain::ViewState TFormMain::View() const {
    ViewState v;
    v.activeOnly = ActiveOnly;
    v.satSelected = SatSelected;
    v.tpSelected = TpSelected;
    v.tvSelected = TvSelected;
    v.radioSelected = RadioSelected;
    v.favListSelected = FavListSelected;
    v.selectedFavGroup = SelectedFavGroup;
    v.markFavPos = Marks.MarkFavPos();
    v.dragRows = dragRows_;
    return v;
}

uint32_t TFormMain::FileSizeExpected() const { return Doc().Is256K() ? 262144u : 131072u; }

void TFormMain::RestoreOrRaise() {
    if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        show();
    } else {
        show();
        raise();
    }
    activateWindow();
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LB_Info->viewport() && event->type() == QEvent::MouseButtonPress) SG_SatMouseDown();
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (columnsPending_ && PanelMain->isVisible()) LayOutColumns();
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().first().isLocalFile()) event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    OpenFileFromOutside(urls.first().toLocalFile());
}

void TFormMain::ResetMainView() { ResetView(true); }

void TFormMain::ResetView(bool closeDocument) {
    ui::ApplyFormScaling(this);
    HideFilter();
    ClearViews();

    // Closing drops the open file: the counts go to 0 while the slots keep
    // what they hold until the next image is read over them.
    if (closeDocument) Doc().Close();
    ShowNote({});
    ActiveOnly = SatSelected = TpSelected = TvSelected = RadioSelected = FavListSelected = false;
    Marks.Reset();
    EditAccepted = AddTpMode = AddTvMode = AddRadioMode = TvAdded = RadioAdded = false;

    Show_Act_Sat->setText(QStringLiteral("Show active satellites"));
    setWindowState(windowState() | Qt::WindowMaximized);

    ImageMain->show();
    Panel_Top->hide();
    PanelMain->hide();

    PMSave->setEnabled(false);
    Save_As->menuAction()->setEnabled(false);
    OpenDefault->setEnabled(true);
    Save_Default->setEnabled(true);
    SB_NewTp->setEnabled(false);
    SB_NewTv->setEnabled(false);
    SB_NewRadio->setEnabled(false);

    columnsPending_ = true;
    LayOutColumns();
    SetUpGrids();
}
