// Panels, grids, splitters, toolbar and top bar of the main window.
#include "FavList.h"
#include "Pictures.h"
#include "RowTexts.h"
#include "TFormMain.h"
#include "ui/FormSetup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace {

const QColor kPanelColour(221, 221, 221);

// Items of a list box with a fixed height of their own.
class ListItemDelegate : public QStyledItemDelegate {
public:
    using Height = std::function<int(int row)>;
    ListItemDelegate(QObject* parent, Height height) : QStyledItemDelegate(parent), height_(std::move(height)) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_(index.row())};
    }

private:
    Height height_;
};

QLabel* StatusLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(QStringLiteral("(Status: Browse)"), parent);
    label->setObjectName(name);
    label->setFont(ui::ArialPx(12, true));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(p);
    return label;
}

QToolButton* AddButton(QWidget* parent, const QString& name, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(QStringLiteral("Add"));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFont(ui::ArialPx(12, true));
    button->setFixedHeight(18);
    return button;
}

QPushButton* HiddenButton(QWidget* parent, const QString& name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setFixedSize(0, 0);
    button->setFocusPolicy(Qt::NoFocus);
    button->hide();
    return button;
}

// A splitter handle exactly as wide as asked, whatever the style would add;
// the handles of one splitter may differ.
class SizedHandle : public QSplitterHandle {
public:
    SizedHandle(Qt::Orientation o, QSplitter* parent) : QSplitterHandle(o, parent) {}
    int extent = 0; // 0: the splitter's handle width
    int Extent() const { return extent > 0 ? extent : splitter()->handleWidth(); }
    QSize sizeHint() const override { return {Extent(), Extent()}; }

protected:
    // Qt widens a thin handle's grab area beyond its place in the layout;
    // only the place itself is painted.
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int e = Extent();
        const QRect band = orientation() == Qt::Horizontal ? QRect((width() - e) / 2, 0, e, height())
                                                           : QRect(0, (height() - e) / 2, width(), e);
        p.fillRect(band, QColor(192, 192, 192));
    }
};

class SizedSplitter : public QSplitter {
public:
    using QSplitter::QSplitter;
    // Sets the width of the handle before widget `index`.
    void SetHandleExtent(int index, int extent) {
        if (auto* h = dynamic_cast<SizedHandle*>(handle(index))) {
            h->extent = extent;
            h->updateGeometry();
            refresh();
        }
    }

protected:
    QSplitterHandle* createHandle() override { return new SizedHandle(orientation(), this); }
};

QSplitter* Splitter(Qt::Orientation orientation, QWidget* parent, const QString& name) {
    auto* splitter = new SizedSplitter(orientation, parent);
    splitter->setObjectName(name);
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    // A line follows the mouse while dragging; the panels move on release.
    splitter->setOpaqueResize(false);
    return splitter;
}

void Tint(QWidget* w) {
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, kPanelColour);
    w->setPalette(p);
}

} // namespace

QWidget* TFormMain::TitlePanel(const QString& title, QWidget* parent, QLabel** titleLabel) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setFixedHeight(20);
    Tint(panel);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(4, 0, 2, 0);
    layout->setSpacing(8);
    auto* label = new QLabel(title, panel);
    label->setFont(ui::ArialPx(12, true));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label->setPalette(p);
    layout->addWidget(label);
    if (titleLabel) *titleLabel = label;
    return panel;
}

void TFormMain::BuildToolbar() {
    // The bar sits above the client area as a fixed band of its own, not in a
    // movable toolbar area.
    CoolBar1 = new QWidget(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    Tint(CoolBar1);
    auto* band = new QHBoxLayout(CoolBar1);
    band->setContentsMargins(0, 0, 0, 0);
    ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), CoolBar1);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    CoolBar1->setFixedHeight(35);
    band->addWidget(ToolBar1);
    setMenuWidget(CoolBar1);
    ToolBar1->setIconSize(QSize(20, 20));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->setFont(ui::ArialPx(14, true));

    auto add = [this](const QString& name, const QString& text, pictures::ToolbarImage image) {
        QAction* action = ToolBar1->addAction(pictures::ToolbarIcon(image), text);
        action->setObjectName(name);
        if (QWidget* button = ToolBar1->widgetForAction(action)) {
            button->setObjectName(name + QStringLiteral("Button"));
            button->setFixedSize(63, 26);
            button->setFont(ui::ArialPx(14, true));
        }
        ToolBar1->addSeparator();
        return action;
    };
    TB_File = add(QStringLiteral("TB_File"), QStringLiteral("File"), pictures::FileImage);
    TB_Edit = add(QStringLiteral("TB_Edit"), QStringLiteral("Edit"), pictures::EditImage);
    TB_Receiver = add(QStringLiteral("TB_Receiver"), QStringLiteral("Receiver"), pictures::ReceiverImage);
    if (QWidget* button = ToolBar1->widgetForAction(TB_Receiver)) button->setFixedSize(92, 26);
    TB_Help = add(QStringLiteral("TB_Help"), QStringLiteral("Help"), pictures::HelpImage);
    TB_Exit = add(QStringLiteral("TB_Exit"), QStringLiteral("Exit"), pictures::ExitImage);
    connect(TB_File, &QAction::triggered, this, &TFormMain::TB_FileClick);
    connect(TB_Edit, &QAction::triggered, this, &TFormMain::TB_EditClick);
    connect(TB_Receiver, &QAction::triggered, this, &TFormMain::TB_ReceiverClick);
    connect(TB_Help, &QAction::triggered, this, &TFormMain::TB_HelpClick);
    connect(TB_Exit, &QAction::triggered, this, &TFormMain::TB_ExitClick);
}

void TFormMain::BuildTopBar() {
    Panel_Top = new QWidget(centralWidget());
    Panel_Top->setObjectName(QStringLiteral("Panel_Top"));
    Panel_Top->setFixedHeight(30);
    Tint(Panel_Top);
    auto* layout = new QHBoxLayout(Panel_Top);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel_FileName = new QFrame(Panel_Top);
    Panel_FileName->setObjectName(QStringLiteral("Panel_FileName"));
    Panel_FileName->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Tint(Panel_FileName);
    Panel_FileName->setFixedWidth(20);
    LabelFileName = new QLabel(Panel_FileName);
    LabelFileName->setObjectName(QStringLiteral("LabelFileName"));
    LabelFileName->setFont(ui::ArialPx(14, true));
    QPalette p = LabelFileName->palette();
    p.setColor(QPalette::WindowText, QColor(128, 0, 0));
    LabelFileName->setPalette(p);
    layout->addWidget(Panel_FileName);
    layout->addStretch(1);

    Panel_EditFav = new QWidget(Panel_Top);
    Panel_EditFav->setObjectName(QStringLiteral("Panel_EditFav"));
    Panel_EditFav->setFixedSize(495, 30);
    BuildMarkButtons(Panel_EditFav);
    layout->addWidget(Panel_EditFav);
}

void TFormMain::BuildColumns() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(central);
    Tint(central);
    auto* vbox = new QVBoxLayout(central);
    vbox->setContentsMargins(0, 0, 0, 0);
    vbox->setSpacing(0);

    BuildTopBar();
    vbox->addWidget(Panel_Top);

    PanelMain = new QWidget(central);
    PanelMain->setObjectName(QStringLiteral("PanelMain"));
    Tint(PanelMain);
    vbox->addWidget(PanelMain, 1);

    ImageMain = new PictureView(central);
    ImageMain->setObjectName(QStringLiteral("ImageMain"));
    ImageMain->SetPicture(pictures::Background());
    vbox->addWidget(ImageMain, 1);

    auto* mainLayout = new QHBoxLayout(PanelMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    SplitterColumns = Splitter(Qt::Horizontal, PanelMain, QStringLiteral("SplitterColumns"));
    mainLayout->addWidget(SplitterColumns);

    auto column = [this](const QString& name) {
        auto* w = new QWidget(SplitterColumns);
        w->setObjectName(name);
        Tint(w);
        SplitterColumns->addWidget(w);
        return w;
    };
    auto vlayout = [](QWidget* w) {
        auto* l = new QVBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(0);
        return l;
    };

    // Grids. Their models hold the slots their rows show; texts come from the data.
    const dbase::Document* doc = doc_.get();
    SG_Sat = new StringGrid(new GridModel(
        {}, 2, [doc](int slot, int col) { return ui::FromLatin1(rowtext::SatCell(doc->Db(), slot, col)); }));
    const QString stars = QStringLiteral(" \u2606\u2606");
    const QString bullseye = QStringLiteral("\u25CE");
    SG_TP = new StringGrid(new GridModel(
        {stars, QStringLiteral("Freq"), QStringLiteral("Pol"), QStringLiteral("Sym"), QStringLiteral("FEC")}, 5,
        [doc](int slot, int col) { return ui::FromLatin1(rowtext::TpCell(doc->Db(), slot, col)); }));
    auto progText = [doc](int slot, int col) { return ui::FromLatin1(rowtext::ProgCell(doc->Db(), slot, col)); };
    SG_TV = new StringGrid(new GridModel({stars, QStringLiteral("TV.Name"), bullseye}, 3, progText));
    SG_Radio = new StringGrid(new GridModel({stars, QStringLiteral("Radio.Name"), bullseye}, 3, progText));
    SG_Sat->setObjectName(QStringLiteral("SG_Sat"));
    SG_TP->setObjectName(QStringLiteral("SG_TP"));
    SG_TV->setObjectName(QStringLiteral("SG_TV"));
    SG_Radio->setObjectName(QStringLiteral("SG_Radio"));
    SG_Sat->SetCellStyle([this](int r, int c, bool s) { return SG_SatDrawCell(r, c, s); });
    SG_TP->SetCellStyle([this](int r, int c, bool s) { return SG_TPDrawCell(r, c, s); });
    SG_TV->SetCellStyle([this](int r, int c, bool s) { return SG_TVDrawCell(r, c, s); });
    SG_Radio->SetCellStyle([this](int r, int c, bool s) { return SG_RadioDrawCell(r, c, s); });
    // Programs can be selected several at a time (browse mode only, see ShowMarkButtons).
    SG_TV->SetMultiSelect(true);
    SG_Radio->SetMultiSelect(true);

    // 1. Satellites over the info panel.
    Panel_SatInfo = column(QStringLiteral("Panel_SatInfo"));
    SplitterSatInfo = Splitter(Qt::Vertical, Panel_SatInfo, QStringLiteral("SplitterSatInfo"));
    vlayout(Panel_SatInfo)->addWidget(SplitterSatInfo);
    P_Sate = new QWidget(SplitterSatInfo);
    P_Sate->setObjectName(QStringLiteral("P_Sate"));
    SplitterSatInfo->addWidget(P_Sate);
    auto* satLayout = vlayout(P_Sate);
    satLayout->addWidget(TitlePanel(QStringLiteral("Satellites:"), P_Sate));
    SG_Sat->setParent(P_Sate);
    satLayout->addWidget(SG_Sat, 1);
    Panel_Info = new QWidget(SplitterSatInfo);
    Panel_Info->setObjectName(QStringLiteral("Panel_Info"));
    SplitterSatInfo->addWidget(Panel_Info);
    auto* infoLayout = vlayout(Panel_Info);
    infoLayout->addWidget(TitlePanel(QStringLiteral("Info:"), Panel_Info));
    LB_Info = new QListWidget(Panel_Info);
    LB_Info->setObjectName(QStringLiteral("LB_Info"));
    LB_Info->setFont(ui::ArialPx(12));
    LB_Info->setItemDelegate(new ListItemDelegate(LB_Info, [](int) { return 15; }));
    infoLayout->addWidget(LB_Info, 1);
    SplitterSatInfo->setStretchFactor(0, 1);
    SplitterSatInfo->setStretchFactor(1, 0);

    // 2. Transponders over the favourite list.
    Panel_TraFav = column(QStringLiteral("Panel_TraFav"));
    SplitterTraFav = Splitter(Qt::Vertical, Panel_TraFav, QStringLiteral("SplitterTraFav"));
    vlayout(Panel_TraFav)->addWidget(SplitterTraFav);
    Panel_Tra = new QWidget(SplitterTraFav);
    Panel_Tra->setObjectName(QStringLiteral("Panel_Tra"));
    SplitterTraFav->addWidget(Panel_Tra);
    auto* traLayout = vlayout(Panel_Tra);
    QWidget* traTitle = TitlePanel(QStringLiteral("Transponder:"), Panel_Tra);
    SB_NewTp = AddButton(traTitle, QStringLiteral("SB_NewTp"), QStringLiteral("Now Transponder"));
    static_cast<QHBoxLayout*>(traTitle->layout())->addStretch(1);
    traTitle->layout()->addWidget(SB_NewTp);
    traLayout->addWidget(traTitle);
    SG_TP->setParent(Panel_Tra);
    traLayout->addWidget(SG_TP, 1);
    Panel_FAV = new QWidget(SplitterTraFav);
    Panel_FAV->setObjectName(QStringLiteral("Panel_FAV"));
    SplitterTraFav->addWidget(Panel_FAV);
    auto* favLayout = vlayout(Panel_FAV);
    favLayout->addWidget(TitlePanel(QStringLiteral("FAV:    ( Red : Lock   Green: Unlock )"), Panel_FAV));
    auto* favList = new FavList(Panel_FAV);
    LB_FAV = favList;
    LB_FAV->setObjectName(QStringLiteral("LB_FAV"));
    LB_FAV->setFont(ui::ArialPx(14));
    LB_FAV->setUniformItemSizes(false);
    LB_FAV->setContextMenuPolicy(Qt::CustomContextMenu);
    SetUpFavList();
    favLayout->addWidget(LB_FAV, 1);
    SplitterTraFav->setStretchFactor(0, 1);
    SplitterTraFav->setStretchFactor(1, 0);

    // 3. and 4. TV and radio programs.
    auto programColumn = [&](const QString& name, const QString& title, QLabel*& state, const QString& stateName,
                             QToolButton*& add, const QString& addName, const QString& hint, StringGrid* grid) {
        QWidget* panel = column(name);
        auto* l = vlayout(panel);
        QWidget* t = TitlePanel(title, panel);
        state = StatusLabel(t, stateName);
        add = AddButton(t, addName, hint);
        auto* tl = static_cast<QHBoxLayout*>(t->layout());
        tl->addWidget(state);
        tl->addStretch(1);
        tl->addWidget(add);
        l->addWidget(t);
        grid->setParent(panel);
        l->addWidget(grid, 1);
        return panel;
    };
    Panel_TV = programColumn(QStringLiteral("Panel_TV"), QStringLiteral("TV Channels:"), Label_TvState,
                             QStringLiteral("Label_TvState"), SB_NewTv, QStringLiteral("SB_NewTv"),
                             QStringLiteral("Now Tv"), SG_TV);
    Panel_Rad = programColumn(QStringLiteral("Panel_Rad"), QStringLiteral("Radio Channels:"), Label_RadioState,
                              QStringLiteral("Label_RadioState"), SB_NewRadio, QStringLiteral("SB_NewRadio"),
                              QStringLiteral("Now Radio"), SG_Radio);
    for (int i = 0; i < 3; ++i) SplitterColumns->setStretchFactor(i, 0);
    SplitterColumns->setStretchFactor(3, 1);
    // The splitter between the transponder and the TV column is 4 pixels wide.
    static_cast<SizedSplitter*>(SplitterColumns)->SetHandleExtent(2, 4);

    B_Sat = HiddenButton(this, QStringLiteral("B_Sat"));
    B_TP = HiddenButton(this, QStringLiteral("B_TP"));
    B_TV = HiddenButton(this, QStringLiteral("B_TV"));
    B_Radio = HiddenButton(this, QStringLiteral("B_Radio"));
    B_FAV = HiddenButton(this, QStringLiteral("B_FAV"));

    // Bindings of the grids, the lists and the buttons.
    connect(B_Sat, &QPushButton::clicked, this, &TFormMain::SG_SatClick);
    connect(B_TP, &QPushButton::clicked, this, &TFormMain::SG_TPClick);
    connect(B_TV, &QPushButton::clicked, this, &TFormMain::SG_TVClick);
    connect(B_Radio, &QPushButton::clicked, this, &TFormMain::SG_RadioClick);
    connect(B_FAV, &QPushButton::clicked, this, &TFormMain::LB_FAVClick);
    connect(SG_Sat, &StringGrid::Click, this, &TFormMain::SG_SatClick);
    connect(SG_TP, &StringGrid::Click, this, &TFormMain::SG_TPClick);
    connect(SG_TV, &StringGrid::Click, this, &TFormMain::SG_TVClick);
    connect(SG_Radio, &StringGrid::Click, this, &TFormMain::SG_RadioClick);
    connect(SG_Sat, &StringGrid::DblClick, this, &TFormMain::SG_SatDblClick);
    connect(SG_TP, &StringGrid::DblClick, this, &TFormMain::SG_TPDblClick);
    connect(SG_TV, &StringGrid::DblClick, this, &TFormMain::SG_TVDblClick);
    connect(SG_Radio, &StringGrid::DblClick, this, &TFormMain::SG_RadioDblClick);
    for (StringGrid* grid : {SG_Sat, SG_TP, SG_TV, SG_Radio})
        connect(grid, &StringGrid::MouseDown, this, &TFormMain::SG_SatMouseDown);
    connect(SG_Sat, &StringGrid::MouseMove, this, &TFormMain::SG_SatMouseMove);
    connect(SG_TP, &StringGrid::MouseMove, this, &TFormMain::SG_TPMouseMove);
    connect(SG_TV, &StringGrid::MouseMove, this, &TFormMain::SG_TVMouseMove);
    connect(SG_Radio, &StringGrid::MouseMove, this, &TFormMain::SG_RadioMouseMove);
    connect(SG_TV, &StringGrid::MouseUp, this, &TFormMain::SG_TVMouseUp);
    connect(SG_Radio, &StringGrid::MouseUp, this, &TFormMain::SG_RadioMouseUp);
    // A drag gesture, however many rows it crossed, is one step of the history.
    for (StringGrid* grid : {SG_Sat, SG_TP, SG_TV, SG_Radio})
        connect(grid, &StringGrid::MouseUp, this, &TFormMain::EndDragStep);
    connect(SG_Sat, &StringGrid::MouseWheelDown, this, &TFormMain::SG_SatMouseWheelDown);
    connect(SG_Sat, &StringGrid::MouseWheelUp, this, &TFormMain::SG_SatMouseWheelUp);
    connect(SG_TP, &StringGrid::MouseWheelDown, this, &TFormMain::SG_TPMouseWheelDown);
    connect(SG_TP, &StringGrid::MouseWheelUp, this, &TFormMain::SG_TPMouseWheelUp);
    connect(SG_TV, &StringGrid::MouseWheelDown, this, &TFormMain::SG_TVMouseWheelDown);
    connect(SG_TV, &StringGrid::MouseWheelUp, this, &TFormMain::SG_TVMouseWheelUp);
    connect(SG_Radio, &StringGrid::MouseWheelDown, this, &TFormMain::SG_RadioMouseWheelDown);
    connect(SG_Radio, &StringGrid::MouseWheelUp, this, &TFormMain::SG_RadioMouseWheelUp);
    for (StringGrid* grid : {SG_Sat, SG_TP, SG_TV, SG_Radio})
        connect(grid, &StringGrid::MoveKey, this, [this, grid](dbase::MoveKind kind) { MoveEntries(grid, kind); });
    // The info panel shares the grids' mouse-down handler, wherever it is pressed.
    LB_Info->viewport()->installEventFilter(this);
    // Every change of the favourite list's current item, by mouse or keyboard, is a click on it.
    connect(favList, &FavList::Click, this, &TFormMain::LB_FAVClick);
    connect(LB_FAV, &QListWidget::itemDoubleClicked, this, [this] { LB_FAVDblClick(); });
    connect(SB_NewTp, &QToolButton::clicked, this, &TFormMain::New_TpClick);
    connect(SB_NewTv, &QToolButton::clicked, this, &TFormMain::New_TvClick);
    connect(SB_NewRadio, &QToolButton::clicked, this, &TFormMain::New_RadioClick);
}

void TFormMain::SetUpGrids() {
    SG_Sat->SetColumnWidths({50, 170});
    SG_TP->SetColumnWidths({60, 50, 30, 50, 35});
    SG_TV->SetColumnWidths({60, 140, 20});
    SG_Radio->SetColumnWidths({60, 140, 20});
    SG_Sat->gridModel()->SetLeadRow({QStringLiteral(" \u2606\u2606"), QString()});
}

void TFormMain::LayOutColumns() {
    if (!PanelMain->isVisible()) {
        columnsPending_ = true;
        return;
    }
    if (QLayout* l = centralWidget()->layout()) l->activate();
    if (QLayout* l = PanelMain->layout()) l->activate();
    const int handles = 3 * SplitterColumns->handleWidth() + 1;
    const int width = SplitterColumns->width();
    SplitterColumns->setSizes({250, 260, 250, std::max(100, width - 760 - handles)});
    const int h = SplitterSatInfo->height() - SplitterSatInfo->handleWidth();
    SplitterSatInfo->setSizes({std::max(60, h - 180), 180});
    SplitterTraFav->setSizes({std::max(60, h - 278), 278});
    columnsPending_ = false;
}
