// The main window on a full-capacity file (64 satellites, 2,200 transponders,
// 3,000 programs): refilling all four grids through "Show ALL Info", a click
// on a satellite, and opening the file through the window. Each figure
// includes the event processing that lays out and paints the window
// (offscreen); so do an undo and a redo of a sort and of a mark, a keystroke
// in the filter field and a move of a block of 500 programs. Run with
// --benchmark_repetitions to get medians; each case repeats 20 times by
// default.
#include "Main/TFormMain.h"
#include "SampleData.h"
#include "format/DataFile.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

namespace {

// Every table at capacity, with regular contents so that the image
// compresses into the container (random contents would not fit).
std::unique_ptr<dbase::Database> FullDatabase() {
    auto db = dbase::NewDatabase();
    dbase::Database& d = *db;
    for (int s = 0; s < dbase::kMaxSatsInImage; ++s)
        sample::AddSat(d, {"Satellite " + std::to_string(s + 1), (s * 53) % 3600});
    int tps[dbase::kTpSlots];
    for (int t = 0; t < dbase::kTpSlots; ++t)
        tps[t] = sample::AddTp(d, t % dbase::kMaxSatsInImage, 10700 + (t * 7) % 2050, t % 2 == 1, 27500, 3);
    for (int p = 0; p < dbase::kProgSlots; ++p) {
        sample::ProgSpec ps;
        ps.name = "Program " + std::to_string(p + 1);
        ps.radio = p % 5 == 4;
        ps.vid = ps.radio ? 0 : 100 + p % 4000;
        ps.aud = 101 + p % 4000;
        ps.pcr = ps.vid ? ps.vid : ps.aud;
        ps.pmt = 32 + p % 100;
        ps.sid = p + 1;
        ps.scrambled = p % 4 == 0;
        ps.fav = static_cast<uint16_t>(p % 7 == 0 ? 1u << (p % 16) : 0);
        sample::AddProg(d, tps[p % dbase::kTpSlots], ps);
    }
    for (int a = 0; a < dbase::kAudioSlots; ++a) sample::AddAudio(d, (a * 3) % dbase::kProgSlots, 2000 + a, "eng");
    return db;
}

struct Fixture {
    QTemporaryDir dir;
    QString file;
    std::unique_ptr<TFormMain> form;
    // The window's widgets the benchmarks use, found once by name.
    StringGrid *sat = nullptr, *tp = nullptr, *tv = nullptr, *radio = nullptr;
    QToolButton* lock = nullptr;
    QWidget* filterBar = nullptr;
    QLineEdit* filterEdit = nullptr;

    Fixture() {
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        ui::MessageBox::setInteractive(false);
        ui::FileDialog::setInteractive(false);
        auto db = FullDatabase();
        std::vector<uint8_t> bytes;
        if (dbase::Status s = dbase::BuildSaveBytes(*db, dbase::SaveMode::Channel, bytes); !s)
            qFatal("full database not built: %s", s.message().c_str());
        file = dir.filePath("full.bin");
        if (!dbase::WriteFileAtomic(QFile::encodeName(file).toStdString(), bytes)) qFatal("full file not written");
        form = std::make_unique<TFormMain>(MainWindowFiles{dir.filePath("ORBITLIST.ini"), dir.filePath("work.bin")});
        form->show();
        sat = Find<StringGrid>("SG_Sat");
        tp = Find<StringGrid>("SG_TP");
        tv = Find<StringGrid>("SG_TV");
        radio = Find<StringGrid>("SG_Radio");
        lock = Find<QToolButton>("SB_Lock");
        filterBar = Find<QWidget>("FilterBar");
        filterEdit = Find<QLineEdit>("FilterEdit");
        Open();
    }

    template <class W> W* Find(const char* name) const {
        W* w = form->findChild<W*>(QString::fromLatin1(name));
        if (!w) qFatal("no widget named %s", name);
        return w;
    }

    void Open() {
        form->Doc().SetIs256K(true);
        if (!form->OpenImageFile(file)) qFatal("full file not opened");
        QCoreApplication::processEvents();
    }
};

Fixture* fixture = nullptr;

void BM_ShowAllInfo(benchmark::State& state) {
    TFormMain& form = *fixture->form;
    for (auto _ : state) {
        fixture->sat->SetRow(0);
        form.SG_SatClick();
        QCoreApplication::processEvents();
    }
    if (fixture->tv->RowCount() < 2000) state.SkipWithError("grids were not refilled");
}

void BM_SatelliteClick(benchmark::State& state) {
    TFormMain& form = *fixture->form;
    int row = 1;
    for (auto _ : state) {
        fixture->sat->SetRow(row);
        form.SG_SatClick();
        QCoreApplication::processEvents();
        row = row % 64 + 1;
    }
    if (!form.View().satSelected) state.SkipWithError("no satellite selected");
}

// One undo or redo per iteration, alternating. With argument 1 the paint
// that follows is timed too; with 0 only the step and the refill of the grids
// and panels are, the paint running untimed.
void UndoOrRedo(benchmark::State& state, TFormMain& form) {
    const bool paint = state.range(0) != 0;
    bool undo = true;
    for (auto _ : state) {
        if (undo)
            form.UndoClick();
        else
            form.RedoClick();
        if (!paint) state.PauseTiming();
        QCoreApplication::processEvents();
        if (!paint) state.ResumeTiming();
        undo = !undo;
    }
}

// One undo or redo of a step that touched every TV program (a sort), with
// the refill of the grids and the selection that follow it.
void BM_UndoRedoSort(benchmark::State& state) {
    TFormMain& form = *fixture->form;
    fixture->sat->SetRow(0);
    form.SG_SatClick();
    form.SorebyFav1Click();
    if (!form.Doc().CanUndo()) state.SkipWithError("the sort made no step");
    UndoOrRedo(state, form);
    if (fixture->tv->RowCount() < 2000) state.SkipWithError("grids were not refilled");
}

// The same for a single mark.
void BM_UndoRedoMark(benchmark::State& state) {
    TFormMain& form = *fixture->form;
    fixture->sat->SetRow(0);
    form.SG_SatClick();
    fixture->lock->click();
    fixture->tv->SetRow(100);
    form.SG_TVClick();
    fixture->lock->click();
    if (!form.Doc().CanUndo()) state.SkipWithError("the mark made no step");
    UndoOrRedo(state, form);
}

// Runs what the events posted so far start (layouts post repaints, and so on).
void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// One keystroke in the filter field: both program grids listed again through
// the filter and painted. The text grows by a character and shrinks again,
// as typing and Backspace do.
void BM_FilterKeystroke(benchmark::State& state) {
    TFormMain& form = *fixture->form;
    if (!fixture->filterBar->isVisible()) {
        fixture->sat->SetRow(0);
        form.SG_SatClick();
        form.ShowFilter();
        Settle();
    }
    static bool longer = true;
    for (auto _ : state) {
        fixture->filterEdit->setText(longer ? QStringLiteral("program 17") : QStringLiteral("program 1"));
        QCoreApplication::processEvents();
        longer = !longer;
    }
    if (fixture->tv->gridModel()->ListSlots().size() < 2000) state.SkipWithError("the grids list too few programs");
    if (fixture->tv->gridModel()->BoundRows() >= 2000) state.SkipWithError("the filter kept every program");
}

// Alt+Home and Alt+End on the last (first) 500 rows of the TV grid: the
// block move as one step, the refresh and the paint that follow.
void BM_MoveBlockInWindow(benchmark::State& state) {
    TFormMain& form = *fixture->form;
    if (form.FilterOn() || form.View().satSelected) {
        form.HideFilter();
        fixture->sat->SetRow(0);
        form.SG_SatClick();
        Settle();
    }
    StringGrid* tv = fixture->tv;
    const int rows = tv->gridModel()->BoundRows();
    std::vector<int> bottom, top;
    for (int r = rows - 499; r <= rows; ++r) bottom.push_back(r);
    for (int r = 1; r <= 500; ++r) top.push_back(r);
    static bool up = true;
    for (auto _ : state) {
        tv->SetRow(up ? rows : 1);
        tv->SelectRows(up ? bottom : top);
        form.MoveEntries(tv, up ? dbase::MoveKind::Top : dbase::MoveKind::Bottom);
        QCoreApplication::processEvents();
        up = !up;
    }
    if (tv->SelectedRows().size() != 500) state.SkipWithError("the block did not move");
    state.counters["rows"] = rows;
}

// What a repaint of the four grids alone costs, for comparison.
void BM_RepaintGrids(benchmark::State& state) {
    for (auto _ : state) {
        for (StringGrid* grid : {fixture->sat, fixture->tp, fixture->tv, fixture->radio}) grid->gridModel()->Refresh();
        QCoreApplication::processEvents();
    }
}

void BM_OpenThroughWindow(benchmark::State& state) {
    for (auto _ : state) fixture->Open();
}

BENCHMARK(BM_ShowAllInfo)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true);
BENCHMARK(BM_SatelliteClick)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true);
BENCHMARK(BM_UndoRedoSort)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_UndoRedoMark)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FilterKeystroke)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_MoveBlockInWindow)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RepaintGrids)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenThroughWindow)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + ORBITLIST_OFFSCREEN_CONFIG);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Fixture f;
    fixture = &f;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture = nullptr;
    return 0;
}
