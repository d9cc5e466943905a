// Time from a selection change in the main window to both previews drawn, for pairs of JPEGs
// of 1, 12 and 24 megapixels, cache off and on, against two plain libjpeg decodes of the same
// files. Runs under QT_QPA_PLATFORM=offscreen (set here when unset).
#include "LargePages.h"
#include "DatabaseCommands.h"
#include "PlainJpegDecode.h"
#include "StartUp.h"
#include "TMain.h"
#include "TempDir.h"
#include "TestPictures.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QTreeView>

#include <map>

namespace {

using lumidex::TMain;

const int kSides[][2] = {{1155, 866}, {4000, 3000}, {6000, 4000}};

// Two pairs of equal pictures, a and b, in their own database.
struct Corpus {
    lumidex::test::TempDir dir;
    std::string database;
    std::string files[4];
};

Corpus& CorpusOf(int which) {
    static std::map<int, Corpus> corpora;
    auto [it, made] = corpora.try_emplace(which);
    Corpus& c = it->second;
    if (!made) return c;
    const int w = kSides[which][0], h = kSides[which][1];
    const char* names[] = {"a1.jpg", "a2.jpg", "b1.jpg", "b2.jpg"};
    for (int i = 0; i < 4; ++i) {
        c.files[i] = c.dir.File(std::string("pics/") + names[i]);
        lumidex::test::WriteJpeg(c.files[i], lumidex::test::PhotoLikePicture(w, h, 1 + i / 2));
    }
    lumidex::NullFrame frame;
    lumidex::Workspace ws(frame, c.dir.File("scan_home"));
    ws.AddPicturesFromFolder(c.dir.File("pics"), {});
    lumidex::Database db = ws.DatabaseParts();
    lumidex::BuildHeader(db);
    c.database = c.dir.File("p.ld2");
    lumidex::WriteDatabase(db, c.database);
    return c;
}

void PlainDecodeOfBoth(benchmark::State& state) {
    Corpus& c = CorpusOf(static_cast<int>(state.range(0)));
    int turn = 0;
    for (auto _ : state) {
        for (int i : {0, 1}) {
            std::unique_ptr<JSAMPLE[]> pixels;
            size_t capacity = 0;
            PlainJpegDecode(c.files[turn * 2 + i], pixels, capacity);
            benchmark::DoNotOptimize(pixels.get());
        }
        turn ^= 1;
    }
}

void SelectionToBothPreviews(benchmark::State& state) {
    Corpus& c = CorpusOf(static_cast<int>(state.range(0)));
    const bool cache = state.range(1) != 0;
    lumidex::test::TempDir home;
    auto program = lumidex::StartProgram(home.path(), {QString::fromStdString(c.database)});
    TMain* main = program->main.get();
    main->show();
    QApplication::processEvents();
    main->findChild<QCheckBox*>("UsePreviewCache")->setChecked(cache);
    main->findChild<QLineEdit*>("CacheCount")->setText("20");
    auto* filter = main->findChild<QComboBox*>("DataFilter");
    filter->setCurrentIndex(1); // "Has Similar Pics"
    emit filter->activated(1);
    QTreeView* view = main->ListBox1();
    auto select = [&](int row) {
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect |
                                           QItemSelectionModel::Rows);
        main->LeftViewPanel()->repaint();
        main->RightViewPanel()->repaint();
    };
    // Rows a1, a2, b1, b2: a1 shows a1 and a2, b1 shows b1 and b2. Both are seen once
    // before timing, so that a cache holds them.
    select(0);
    select(2);
    int turn = 0;
    for (auto _ : state) {
        select(turn ? 2 : 0);
        turn ^= 1;
    }
    if (main->Pane(true).shown == nullptr || main->Pane(false).shown == nullptr)
        state.SkipWithError("a preview stayed empty");
    lumidex::Workspace& ws = main->workspace();
    ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
}

BENCHMARK(PlainDecodeOfBoth)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(SelectionToBothPreviews)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"size", "cache"})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    lumidex::StartWithLargePages(argv); // as the program starts
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
