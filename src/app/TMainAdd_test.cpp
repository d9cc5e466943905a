#include "DialogScript.h"
#include "RecordingFrame.h"
#include "StartUp.h"
#include "TDirSel.h"
#include "TMain.h"
#include "TOpenForm.h"
#include "TProgress.h"
#include "TempDir.h"
#include "TestApplication.h"
#include "TestPictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

namespace lumidex {
namespace {

using test::Find;
using test::OnDialog;
using test::TempDir;

void EnsureApp() {
    test::EnsureApplication();
}

class AddingTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApp(); }
    void Start(QStringList args = {}) {
        program = StartProgram(home.path(), args);
        main = program->main.get();
        main->SetScript(&script);
        main->show();
        QApplication::processEvents();
        main->SetMenuLanguage(0);
    }
    void TearDown() override {
        if (main) {
            Workspace& ws = main->workspace();
            ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
        }
        program.reset();
    }
    // count pictures in folder (relative to data), one more in its subfolder "sub".
    std::string Pictures(const std::string& folder, int count) {
        for (int i = 0; i < count; ++i)
            test::WritePicture(data.File(folder + "/p" + std::to_string(i) + ".png"),
                               test::PhotoLikePicture(64, 48, static_cast<uint32_t>(i + 1)));
        test::WritePicture(data.File(folder + "/sub/deep.png"), test::PhotoLikePicture(64, 48, 99));
        return data.File(folder);
    }
    std::string Panel(StatusPanel p) const { return main->PanelText(p); }

    TempDir home;
    TempDir data;
    test::RecordingFrame script;
    std::unique_ptr<Program> program;
    TMain* main = nullptr;
};

TEST_F(AddingTest, AddPicturesFromFolderThroughItsDialog) {
    Start();
    const std::string folder = Pictures("pics", 3);
    ASSERT_NE(main->Action("ActionAddPicturefromFolder"), nullptr);
    EXPECT_TRUE(main->Action("ActionAddPicturefromFolder")->isEnabled());
    OnDialog([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "TDirSel");
        EXPECT_EQ(d->windowTitle(), "Select Folder");
        static_cast<TDirSel*>(d)->SetCurrentFolder(folder);
        Find<QCheckBox>(d, "LevelLimit")->click(); // depth 1: the folder alone
        Find<QPushButton>(d, "Button1")->click();
    });
    main->Action("ActionAddPicturefromFolder")->trigger();
    Workspace& ws = main->workspace();
    EXPECT_EQ(ws.catalogue.Count(), 3) << "the subfolder lies deeper than the depth";
    EXPECT_EQ(Panel(StatusPanel::Progress), "Adding pictures done.");
    EXPECT_EQ(Panel(StatusPanel::Counts), "3/3");
    EXPECT_FALSE(main->Progress()->isVisible());
    EXPECT_FALSE(main->Progress()->ProgressBar2()->isHidden()) << "the files bar is back";
    EXPECT_EQ(main->DirSel()->Destinations().Items(), (std::vector<std::string>{folder}));
    EXPECT_EQ(main->windowTitle().toStdString(), "Lumidex2 [New]*");

    // Cancel adds nothing; the depth box and its tick stay as they were left.
    OnDialog([&](QDialog* d) {
        EXPECT_TRUE(Find<QSpinBox>(d, "Edit1")->isEnabled());
        Find<QPushButton>(d, "Button2")->click();
    });
    main->Action("AddPicturefromDir1")->trigger();
    EXPECT_EQ(ws.catalogue.Count(), 3);
}

TEST_F(AddingTest, AbortEscapeOrClosingTheProgressWindowStopsTheAdding) {
    Start();
    const std::string folder = Pictures("many", 12);
    TProgress* progress = main->Progress();
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"Abort", [&] { Find<QPushButton>(progress, "Abort")->click(); }},
        {"Esc", [&] { QTest::keyClick(progress, Qt::Key_Escape); }},
        {"close", [&] { progress->close(); }},
    };
    for (const auto& [way, act] : ways) {
        ASSERT_TRUE(main->workspace().ClearAllEntries());
        bool acted = false;
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&, act = act] {
            if (acted || !progress->isVisible()) return;
            acted = true;
            act();
            EXPECT_TRUE(progress->isVisible()) << "the operation closes it, not the user";
        });
        watch.start();
        main->AddPicturesFromFolder(folder);
        watch.stop();
        EXPECT_TRUE(acted) << way;
        EXPECT_LT(main->workspace().catalogue.Count(), 13) << way;
        EXPECT_EQ(Panel(StatusPanel::Outcome), "Aborted") << way;
        EXPECT_EQ(Panel(StatusPanel::Progress), "Aborted") << way << ": no completion text";
        EXPECT_FALSE(progress->isVisible()) << way;
        EXPECT_FALSE(progress->AbortRequested()) << way;
    }
    // The next run after an abort goes through.
    ASSERT_TRUE(main->workspace().ClearAllEntries());
    main->AddPicturesFromFolder(folder);
    EXPECT_EQ(main->workspace().catalogue.Count(), 13);
    EXPECT_EQ(Panel(StatusPanel::Progress), "Adding pictures done.");
}

TEST_F(AddingTest, AddPictureTakesTheChosenFilesOfTheOpenForm) {
    Start();
    const std::string folder = Pictures("chosen", 3);
    test::WriteBytes(data.File("chosen/notes.txt"), std::string(2000, 'x'));
    auto run = [&](bool all) {
        OnDialog([&, all](QDialog* d) {
            EXPECT_EQ(d->objectName(), "TOpenForm");
            static_cast<TOpenForm*>(d)->SetCurrentFolder(folder);
            if (all) Find<QPushButton>(d, "SelectAll")->click();
            Find<QPushButton>(d, all ? "OKbutton" : "Cancelbutton")->click();
        });
        Find<QToolButton>(main, "SpeedButton1")->click();
    };
    EXPECT_TRUE(Find<QToolButton>(main, "SpeedButton1")->isEnabled());
    run(false);
    EXPECT_EQ(main->workspace().catalogue.Count(), 0);
    run(true);
    EXPECT_EQ(main->workspace().catalogue.Count(), 3);
    EXPECT_EQ(Panel(StatusPanel::Progress), "Adding pictures done.");
    EXPECT_EQ(main->workspace().newPictures.size(), 3u);
    // Every file already there under "Don't Add": nothing analysed, no completion text.
    main->SetStatusText(StatusPanel::Progress, "Idle");
    run(true);
    EXPECT_EQ(main->workspace().catalogue.Count(), 3);
    EXPECT_EQ(Panel(StatusPanel::Progress), "Idle");
}

TEST_F(AddingTest, ADropIsAcceptedAtOnceAndAddedFromTheEventLoop) {
    Start();
    const std::string folder = Pictures("dropped", 2);
    const std::string loose =
        test::WritePicture(data.File("loose.jpg"), test::PhotoLikePicture(64, 48, 7));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder)),
                  QUrl::fromLocalFile(QString::fromStdString(loose))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(main->workspace().catalogue.Count(), 0) << "nothing yet: the dropper is not kept";
    QApplication::processEvents();
    EXPECT_EQ(main->workspace().catalogue.Count(), 4);
    EXPECT_EQ(Panel(StatusPanel::Outcome), "Adding pictures(Drag&Drop) done.");

    // A drop while another operation runs waits for it instead of being lost.
    ASSERT_TRUE(main->workspace().ClearAllEntries());
    {
        OperationScope running(main->workspace());
        main->AddDropped({loose});
        QApplication::processEvents();
        EXPECT_EQ(main->workspace().catalogue.Count(), 0);
    }
    QTest::qWait(300);
    EXPECT_EQ(main->workspace().catalogue.Count(), 1);
}

TEST_F(AddingTest, DialogFoldersPersistAndAVanishedOneFallsBack) {
    std::filesystem::create_directories(data.File("form/kept"));
    std::filesystem::create_directories(data.File("dirsel/gone/deeper"));
    {
        std::ofstream cfg(home.File("app.cfg"), std::ios::binary);
        for (int i = 0; i < 16; ++i)
            cfg << "0\r\n";
        cfg << data.File("form/kept") << "\r\n" << data.File("dirsel/gone/deeper") << "\r\n";
    }
    std::filesystem::remove_all(data.File("dirsel/gone"));
    Start();
    EXPECT_EQ(main->OpenForm()->CurrentFolder(), data.File("form/kept"));
    EXPECT_EQ(main->DirSel()->CurrentFolder(), data.File("dirsel"));
    main->DirSel()->SetCurrentFolder(data.File("form"));
    main->close();
    std::ifstream in(home.File("app.cfg"), std::ios::binary);
    std::string line;
    for (int i = 0; i <= 17 && std::getline(in, line); ++i) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (i == 16) {
            EXPECT_EQ(line, data.File("form/kept"));
        } else if (i == 17) {
            EXPECT_EQ(line, data.File("form"));
        }
    }
}

} // namespace
} // namespace lumidex
