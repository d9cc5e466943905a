#include "Companions.h"
#include "DatabaseCommands.h"
#include "DialogScript.h"
#include "EntryListModel.h"
#include "LumidexServer.h"
#include "RecordingFrame.h"
#include "StartUp.h"
#include "TMain.h"
#include "TOption.h"
#include "TProgress.h"
#include "TempDir.h"
#include "TestApplication.h"
#include "TestPictures.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace lumidex {
namespace {

using test::OnDialog;
using test::RecordingFrame;
using test::TempDir;

void EnsureApp() {
    test::EnsureApplication();
}

std::string Title(const TMain& main) {
    return main.windowTitle().toStdString();
}

// A database of count pictures; japanese sets the menu language stored in its header.
std::string MakeDatabase(const TempDir& dir, const std::string& name, int count,
                         bool japanese = true) {
    for (int i = 0; i < count; ++i)
        test::WritePicture(dir.File(name + "_pics/p" + std::to_string(i) + ".png"),
                           test::PhotoLikePicture(64, 48, static_cast<uint32_t>(i + 1)));
    NullFrame frame;
    Workspace ws(frame, dir.File(name + "_home"));
    ws.AddPicturesFromFolder(dir.File(name + "_pics"), {});
    ws.options.UseJapneseMenu = japanese;
    Database db = ws.DatabaseParts();
    BuildHeader(db);
    std::string path = dir.File(name + ".ld2");
    EXPECT_TRUE(WriteDatabase(db, path));
    return path;
}

// p0 and p1 are the same picture; p2 and p3 differ from every other.
std::string MakeSimilarDatabase(const TempDir& dir) {
    const uint32_t seeds[] = {1, 1, 2, 3};
    for (int i = 0; i < 4; ++i)
        test::WritePicture(dir.File("sim_pics/p" + std::to_string(i) + ".png"),
                           test::PhotoLikePicture(64, 48, seeds[i]));
    NullFrame frame;
    Workspace ws(frame, dir.File("sim_home"));
    ws.AddPicturesFromFolder(dir.File("sim_pics"), {});
    ws.options.UseJapneseMenu = false;
    Database db = ws.DatabaseParts();
    BuildHeader(db);
    std::string path = dir.File("sim.ld2");
    EXPECT_TRUE(WriteDatabase(db, path));
    return path;
}

// As the user chooses an item of a combo box.
void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

std::vector<std::string> FileNames(const EntryList& list) {
    std::vector<std::string> names;
    for (const ListRow& r : list.Rows())
        names.push_back(r.entry->path.substr(r.entry->path.find_last_of("/\\") + 1));
    return names;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        // Most tests were written for a Japanese desktop; FirstStartFollowsTheLocale checks others.
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    }
    void Start(QStringList args = {}) {
        program = StartProgram(home.path(), args);
        main = program->main.get();
        main->SetScript(&script);
        main->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        if (main) {
            Workspace& ws = main->workspace();
            ws.DataChanged = ws.OptionsChanged = ws.OldFormatRead = false;
        }
        program.reset();
        QLocale::setDefault(QLocale::c());
    }
    template <class T> T* Find(QWidget* in, const char* name) {
        T* w = in->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    TempDir home;
    TempDir data;
    RecordingFrame script;
    std::unique_ptr<Program> program;
    TMain* main = nullptr;
};

TEST_F(MainWindowTest, FirstStartFollowsTheLocaleAndADefaultFileOverrulesIt) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    Start();
    EXPECT_EQ(main->Action("File1")->text().toStdString(), "&File");
    EXPECT_FALSE(main->workspace().options.UseJapneseMenu);
    // A default options file written on a Japanese menu wins over the locale at the next start.
    main->workspace().options.UseJapneseMenu = true;
    Database db = main->workspace().DatabaseParts();
    SaveDefaultOptions(db);
    program.reset();
    main = nullptr;
    Start();
    EXPECT_EQ(main->Action("File1")->text().toStdString(), "ファイル(&F)");
}

TEST_F(MainWindowTest, StartsWithEveryWindowInOrderAndTheDefaults) {
    Start();
    std::vector<std::string> names;
    for (QWidget* w : program->windows)
        names.push_back(w->objectName().toStdString());
    const std::vector<std::string> expected = {
        "Main",           "TDataItemEditor", "TMemoMan",  "TDateSpec",       "TViewLeft",
        "PathChange",     "RenameDlg",       "TDirSel",   "TSpanel",         "TSizeSpec",
        "TSlideShow",     "UnlinkedData",    "TAboutBox", "Progress",        "Option",
        "TFolderManager", "QueryDialog",     "TOpenForm", "TMismatchEditor", "PView",
        "TMismatchhConf", "TNavigator",      "TThumbnail"};
    EXPECT_EQ(names, expected);
    for (size_t i = 1; i < program->windows.size(); ++i)
        EXPECT_FALSE(program->windows[i]->isVisible()) << names[i];

    EXPECT_TRUE(main->firstShowDone());
    EXPECT_EQ(Title(*main), "Lumidex2 [New]");
    EXPECT_EQ(main->minimumSize(), QSize(640, 480));
    EXPECT_EQ(main->PanelText(StatusPanel::Progress), "Idle");
    EXPECT_EQ(main->PanelText(StatusPanel::Counts), "0 File read");
    // No default options file: the menus follow the user's language, Japanese here.
    EXPECT_EQ(main->Action("File1")->text().toStdString(), "ファイル(&F)");
    EXPECT_FALSE(Find<QToolButton>(main, "StopBitBtn")->isVisible());
    EXPECT_TRUE(Find<QToolButton>(main, "SpeedButton1")->text().isEmpty() ||
                Find<QToolButton>(main, "SpeedButton1")->toolButtonStyle() ==
                    Qt::ToolButtonIconOnly);
    EXPECT_EQ(Find<QToolButton>(main, "SpeedButton3")->toolTip(), "Open");
    EXPECT_EQ(Find<QToolButton>(main, "SpeedButton3")->toolTipDuration(), 30000);
    EXPECT_EQ(Find<QToolButton>(main, "Rename")->text(), "Rename");
    const auto& crystal = CrystalMessages();
    EXPECT_NE(std::find(crystal.begin(), crystal.end(), main->CrystalHint().toStdString()),
              crystal.end());

    // Commands of later parts are present and disabled.
    ASSERT_NE(main->Action("SlideShow1"), nullptr);
    main->PrepareMenu(main->MenuNamed("Option1"));
    EXPECT_FALSE(main->Action("SlideShow1")->isEnabled());
    EXPECT_TRUE(main->Action("Setup1")->isEnabled());
    EXPECT_EQ(main->Action("ViewRefference1")->shortcut(), QKeySequence("Ctrl+V"));
}

TEST_F(MainWindowTest, MenusInTheirOrderWithShortcuts) {
    Start();
    main->SetMenuLanguage(0);
    // Named items in order, "-" for a separator, shortcuts after "=".
    auto names = [&](const char* menu) {
        std::vector<std::string> out;
        for (QAction* a : main->MenuNamed(menu)->actions()) {
            if (a->data().isValid()) continue; // history entries
            std::string n =
                a->isSeparator() && a->objectName().isEmpty() ? "-" : a->objectName().toStdString();
            if (!a->shortcut().isEmpty()) n += "=" + a->shortcut().toString().toStdString();
            out.push_back(n);
        }
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(names("File1"), (V{"Open1", "AddPicturefromDir1", "-", "Opendatabase1",
                                 "Savedatabase1", "MergeDatabase1", "Savedatabaseas1", "-", "Exit1",
                                 "-", "ClearHistory1", "OptimizeHistory1", "HistorySeparator"}));
    EXPECT_EQ(names("DataBase1"),
              (V{"ClearAllDataEntry1", "ClearAllDataEntryinRefList1", "DeleteDataEntry1", "-",
                 "ReanalizeAllinRefList1", "-", "Makemismatch1", "-", "MemoEditor1",
                 "FolderExplorer1", "-", "ExportMemo1", "ImportMemo1"}));
    EXPECT_EQ(names("Action1"), (V{"ViewRefference1=Ctrl+V",
                                   "TiewTaget1=Ctrl+Alt+V",
                                   "-",
                                   "CopyRef1=Ctrl+C",
                                   "MoveRef1=Ctrl+M",
                                   "DeleteRef1=Ctrl+D",
                                   "-",
                                   "Copy1=Ctrl+Alt+C",
                                   "Move1=Ctrl+Alt+M",
                                   "Delete1=Ctrl+Alt+D",
                                   "Rename1",
                                   "-",
                                   "OverwrightMoveRefTarg1",
                                   "OverwrightMoveRefTarg2",
                                   "-",
                                   "Refind1",
                                   "-",
                                   "CopyRefListToClipboard1",
                                   "CopyPairListtoClipboardE1",
                                   "ImportListfromClipboard1",
                                   "ImportListfromClipboard2"}));
    EXPECT_EQ(names("Option1"), (V{"Setup1",
                                   "ShowNavigator1",
                                   "ShowThumnail1",
                                   "-",
                                   "SearchUnlinkedData",
                                   "ChangeAllFilePath1",
                                   "MovePath1",
                                   "-",
                                   "ChangeFilenamewithCSV1",
                                   "-",
                                   "SetSusiePlugins1",
                                   "RunGlimpser1",
                                   "RunTinter1",
                                   "SendTinter1",
                                   "RunJoiner1",
                                   "SendJoinerLeft1",
                                   "SendJoinerRight1",
                                   "-",
                                   "MenuMismatchEditor",
                                   "SlideShow1",
                                   "SynthesisView1",
                                   "SyncMemo1",
                                   "-",
                                   "CompairwithClipboard1"}));
    EXPECT_EQ(names("SetSusiePlugins1"), (V{"SetPluginDirectory1", "StopUsingPlugins1"}));
    EXPECT_EQ(names("Help1"), (V{"Help2", "About1"}));
    EXPECT_FALSE(main->Action("RunTinter1")->isVisible());
    EXPECT_EQ(main->Action("ShowThumnail1")->text(), "Show &Thumbnail Window");

    // The manual's item shows only while the manual is there.
    main->PrepareMenu(main->MenuNamed("Help1"));
    EXPECT_FALSE(main->Action("Help2")->isVisible());
    home.Write("manual.html", "<html></html>");
    main->PrepareMenu(main->MenuNamed("Help1"));
    EXPECT_TRUE(main->Action("Help2")->isVisible());
}

TEST_F(MainWindowTest, LogMessageShowsInStatusBarAndCrystalHint) {
    Start();
    main->workspace().LogMessage("File is too small,a.jpg");
    EXPECT_EQ(main->PanelText(StatusPanel::Progress), "File is too small,a.jpg");
    EXPECT_EQ(main->CrystalHint().toStdString(), "Error 1:File is too small,a.jpg");
}

TEST_F(MainWindowTest, CommandLineDatabaseOpensWithoutMarks) {
    std::string path = MakeDatabase(data, "db", 3);
    Start({QString::fromStdString(path)});
    EXPECT_EQ(Title(*main), "Lumidex2 [" + path + "]");
    EXPECT_EQ(main->ListBox1()->model()->rowCount(), 3);
    EXPECT_EQ(main->PanelText(StatusPanel::Counts), "3/3");
}

TEST_F(MainWindowTest, TitleMarksAcrossOpenChangeAndSave) {
    std::string path = MakeDatabase(data, "db", 4);
    Start();
    script.chosenFiles.push_back(path);
    main->OpendatabaseClick();
    EXPECT_EQ(Title(*main), "Lumidex2 [" + path + "]");
    EXPECT_EQ(main->ListBox1()->model()->rowCount(), 4);
    EXPECT_EQ(main->ListBox1()->model()->headerData(0, Qt::Horizontal).toString(), "Filename");
    EXPECT_TRUE(main->Action("MergeDatabase1")->isEnabled());
    EXPECT_FALSE(main->Action("Savedatabase1")->isEnabled());

    main->workspace().MarkDataChanged();
    EXPECT_EQ(Title(*main), "Lumidex2 [" + path + "]*");
    EXPECT_TRUE(main->Action("Savedatabase1")->isEnabled());
    main->workspace().MarkOptionsChanged();
    EXPECT_EQ(Title(*main), "Lumidex2 [" + path + "]*+");

    main->SavedatabaseClick();
    EXPECT_EQ(Title(*main), "Lumidex2 [" + path + "]");
    EXPECT_FALSE(main->Action("Savedatabase1")->isEnabled());

    // Importing keeps the path and marks the catalogue changed.
    std::string other = MakeDatabase(data, "other", 2);
    script.chosenFiles = {other};
    main->MergeDatabaseClick();
    EXPECT_EQ(Title(*main), "Lumidex2 [" + path + "]*");
    EXPECT_EQ(main->ListBox1()->model()->rowCount(), 6);
    EXPECT_FALSE(main->findChild<QToolButton*>("StopBitBtn")->isVisible());

    // Exit asks like closing does and stops a running loop.
    script.answers = {Answer::Cancel};
    main->ExitClick();
    EXPECT_TRUE(main->workspace().StopRequested);
    EXPECT_TRUE(main->isVisible());
}

TEST_F(MainWindowTest, CloseQueryAnswers) {
    Start();
    Workspace& ws = main->workspace();

    ws.MarkDataChanged();
    script.answers = {Answer::Cancel};
    EXPECT_FALSE(main->close());
    EXPECT_TRUE(main->isVisible());
    ASSERT_EQ(script.questions.size(), 1u);
    EXPECT_EQ(script.questions[0].text, "Data changed.Save?");
    EXPECT_EQ(script.questions[0].caption, "[New]");
    EXPECT_TRUE(ws.DataChanged);

    // Yes, but the save dialog is cancelled: the window stays open.
    script.answers = {Answer::Yes};
    EXPECT_FALSE(main->close());
    EXPECT_TRUE(ws.DataChanged);
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "Save Canceled.");

    // Yes, but the file cannot be written: nothing is lost, the window stays open.
    ws.DatabasePath = data.File("no such folder/db.ld2");
    script.answers = {Answer::Yes};
    EXPECT_FALSE(main->close());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(ws.DataChanged);
    ws.DatabasePath.clear();

    // Yes and a file: saved, closed, flags clear.
    std::string saved = data.File("saved.ld2");
    script.answers = {Answer::Yes};
    script.chosenFiles = {saved};
    EXPECT_TRUE(main->close());
    EXPECT_FALSE(ws.DataChanged);
    EXPECT_TRUE(std::filesystem::exists(saved));
}

TEST_F(MainWindowTest, CloseQueryNoClosesWithoutSaving) {
    Start();
    Workspace& ws = main->workspace();
    ws.MarkOptionsChanged();
    script.answers = {Answer::No};
    EXPECT_TRUE(main->close());
    EXPECT_FALSE(ws.OptionsChanged);
    EXPECT_TRUE(script.fileChoices.empty());
    // Unchanged: no question at all.
    main->show();
    script.questions.clear();
    EXPECT_TRUE(main->close());
    EXPECT_TRUE(script.questions.empty());
}

TEST_F(MainWindowTest, OptionReactionsFollowUserAndProgram) {
    Start();
    TOption* option = main->optionWindow();
    Options& o = main->workspace().options;
    option->PrepareShowing();
    auto* doubleCheck = Find<QCheckBox>(option, "DoubleCheck");
    auto* bar1 = Find<QSlider>(option, "TrackBar1");
    auto* bar3 = Find<QSlider>(option, "TrackBar3");
    EXPECT_EQ(bar1->maximum(), 15);

    doubleCheck->click();
    EXPECT_FALSE(o.DoubleCheck);
    EXPECT_EQ(bar1->maximum(), 4);
    EXPECT_EQ(bar1->value(), 4);
    EXPECT_FALSE(bar3->isEnabled());
    EXPECT_TRUE(o.OptionsDialogChanged);
    EXPECT_TRUE(o.FindOptionsChanged);
    doubleCheck->click();
    EXPECT_EQ(bar1->maximum(), 15);
    EXPECT_TRUE(bar3->isEnabled());

    Find<QCheckBox>(option, "NotStrict")->click();
    EXPECT_FALSE(bar1->isEnabled());
    Find<QCheckBox>(option, "CheckBoxSameSizeOnly")->click();
    EXPECT_TRUE(Find<QSlider>(option, "TrackBarSizeRange")->isEnabled());
    Find<QCheckBox>(option, "TrackMoveCopy")->click();
    EXPECT_FALSE(Find<QCheckBox>(option, "SameDriveOnly")->isEnabled());

    Find<QRadioButton>(option, "RadioButtonbyDate")->click();
    EXPECT_EQ(Find<QComboBox>(main, "ComboBoxSort")->currentText(), "Date");
    EXPECT_EQ(o.Sortby, SortOrder::RadioButtonbyDate);

    Find<QSlider>(option, "TrackBar2")->setValue(19);
    EXPECT_EQ(Find<QLabel>(option, "LabelInterval")->text(), "1 Min.");
    EXPECT_EQ(o.TrackBar2, 19);

    // Set by the program (as a header does): the dependent controls follow.
    o.DoubleCheck = false;
    o.TrackBar1 = 3;
    o.CheckBoxSameSizeOnly = false;
    option->ShowOptions();
    EXPECT_FALSE(doubleCheck->isChecked());
    EXPECT_EQ(bar1->maximum(), 4);
    EXPECT_EQ(bar1->value(), 3);
    EXPECT_FALSE(Find<QSlider>(option, "TrackBarSizeRange")->isEnabled());
}

TEST_F(MainWindowTest, OptionsCommandMarksOnlyRealOptionChanges) {
    Start();
    TOption* option = main->optionWindow();
    // Only the JPEG quality: no "+", yet the header carries it.
    QTimer::singleShot(0, option, [&] {
        Find<QSlider>(option, "JpegQuality")->setValue(90);
        EXPECT_EQ(Find<QLabel>(option, "LabelQual")->text(), "90");
        option->accept();
    });
    main->OptionClick();
    EXPECT_EQ(Title(*main), "Lumidex2 [New]");
    EXPECT_EQ(main->workspace().header.HeaderBuffer[17] & 0x7F, 90);

    QTimer::singleShot(0, option, [&] {
        Find<QCheckBox>(option, "ConfirmDelete")->click();
        option->accept();
    });
    main->OptionClick();
    EXPECT_EQ(Title(*main), "Lumidex2 [New]+");
}

TEST_F(MainWindowTest, SetDefaultAndLoadDefault) {
    Start();
    TOption* option = main->optionWindow();
    Options& o = main->workspace().options;
    option->PrepareShowing();
    auto* load = Find<QPushButton>(option, "LoadDefault");
    EXPECT_FALSE(load->isEnabled());
    Find<QCheckBox>(option, "ConfirmDelete")->click();
    Find<QPushButton>(option, "SetDefault")->click();
    EXPECT_TRUE(std::filesystem::exists(home.File("default.ld2")));
    EXPECT_TRUE(load->isEnabled());

    Find<QCheckBox>(option, "ConfirmDelete")->click();
    option->PrepareShowing();
    EXPECT_FALSE(o.OptionsDialogChanged);
    load->click();
    EXPECT_FALSE(o.ConfirmDelete);
    EXPECT_FALSE(Find<QCheckBox>(option, "ConfirmDelete")->isChecked());
    EXPECT_TRUE(o.OptionsDialogChanged);
}

TEST_F(MainWindowTest, LanguageSwitchesFromOptionsAndDatabaseHeaders) {
    std::string english = MakeDatabase(data, "english", 2, false);
    Start();
    EXPECT_EQ(main->Action("Exit1")->text().toStdString(), "終了(&Exit)");
    Find<QCheckBox>(main->optionWindow(), "UseJapneseMenu")->click();
    EXPECT_EQ(main->Action("Exit1")->text(), "&Exit");
    EXPECT_EQ(main->Action("MovePath1")->text(), "&Move Folder...");
    Find<QCheckBox>(main->optionWindow(), "UseJapneseMenu")->click();
    EXPECT_EQ(main->Action("Exit1")->text().toStdString(), "終了(&Exit)");

    // A header with the Japanese bit clear switches to English, also in the options window.
    main->history().AddToHistory(english);
    script.chosenFiles = {english};
    main->OpendatabaseClick();
    EXPECT_EQ(main->Action("File1")->text(), "&File");
    EXPECT_FALSE(Find<QCheckBox>(main->optionWindow(), "UseJapneseMenu")->isChecked());

    // The history entries keep their captions through a switch.
    main->workspace().MarkDataChanged();
    main->PrepareFileMenu();
    main->SetMenuLanguage(1);
    QStringList captions;
    for (QAction* a : main->MenuNamed("File1")->actions())
        if (!a->data().isNull()) captions << a->text();
    EXPECT_EQ(captions, QStringList{QString::fromStdString(english)});
}

TEST_F(MainWindowTest, HistoryMenuRules) {
    std::string a = MakeDatabase(data, "a", 1);
    std::string b = MakeDatabase(data, "b", 1);
    std::string gone = data.File("gone.ld2");
    Start();
    History& h = main->history();
    h.AddToHistory(gone);
    h.AddToHistory(b);
    h.AddToHistory(a);

    script.chosenFiles = {a};
    main->OpendatabaseClick();
    auto entries = [&] {
        main->PrepareMenu(main->MenuNamed("File1"));
        std::vector<std::pair<std::string, bool>> out;
        for (QAction* act : main->MenuNamed("File1")->actions())
            if (!act->data().isNull())
                out.emplace_back(act->data().toByteArray().toStdString(), act->isEnabled());
        return out;
    };
    // The open, unchanged database is left out; a missing file is disabled.
    using E = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(entries(), (E{{b, true}, {gone, false}}));
    main->workspace().MarkDataChanged();
    EXPECT_EQ(entries(), (E{{a, true}, {b, true}, {gone, false}}));
    EXPECT_TRUE(main->Action("OptimizeHistory1")->isEnabled());

    // Choosing an entry opens it (after the save question) and moves it to the front.
    script.answers = {Answer::No};
    main->OpenFromHistory(b);
    EXPECT_EQ(Title(*main), "Lumidex2 [" + b + "]");
    EXPECT_EQ(h.Paths().front(), b);

    main->OptimizeHistoryClick();
    EXPECT_EQ(h.Paths(), (std::vector<std::string>{b, a}));
    main->ClearHistoryClick();
    EXPECT_TRUE(entries().empty());
    EXPECT_FALSE(main->Action("ClearHistory1")->isEnabled());
}

TEST_F(MainWindowTest, KeysMoveTheReferenceSelection) {
    std::string path = MakeDatabase(data, "db", 3);
    Start({QString::fromStdString(path)});
    QTreeView* list = main->ListBox1();
    Lists& lists = main->workspace().lists;
    lists.reference.ClearSelection();
    main->RefreshViews();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(lists.reference.SelectedRow(), 1); // from no selection, one step past row 0
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(lists.reference.SelectedRow(), 2);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(lists.reference.SelectedRow(), 1);
    EXPECT_EQ(list->selectionModel()->selectedRows().value(0).row(), 1);
}

TEST_F(MainWindowTest, AppCfgIsReadAtFirstShowingAndWrittenAtClosing) {
    std::string cfg = "10\r\n20\r\n700\r\n500\r\n";
    for (int i = 4; i < 20; ++i)
        cfg += (i >= 16 ? "" : "0") + std::string("\r\n");
    cfg += "1023\r\n";
    home.Write("app.cfg", cfg);
    Start();
    EXPECT_EQ(main->size(), QSize(700, 500));
    EXPECT_FALSE(Find<QToolButton>(main, "Rename")->isVisibleTo(main));
    EXPECT_TRUE(Find<QToolButton>(main, "DelButton")->isVisibleTo(main));
    EXPECT_TRUE(Find<QToolButton>(main, "ButtonRenameLeft")->isVisibleTo(main));

    Find<QCheckBox>(main, "UseSubIndex")->setChecked(false);
    Find<QLineEdit>(main, "CacheCount")->setText("35");
    EXPECT_FALSE(main->workspace().options.MatchOrientations);
    Find<QCheckBox>(main->optionWindow(), "MatchOrientations")->click();
    main->resize(720, 520);
    ASSERT_TRUE(main->close());
    std::string written = test::ReadWholeFile(home.File("app.cfg"));
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 40);
    EXPECT_EQ(written.substr(written.size() - 3), "1\r\n") << "the orientation switch last";
    EXPECT_NE(written.find("\r\n720\r\n520\r\n"), std::string::npos);
    program.reset();
    main = nullptr;

    Start();
    EXPECT_EQ(main->size(), QSize(720, 520));
    EXPECT_FALSE(Find<QCheckBox>(main, "UseSubIndex")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(main, "CacheCount")->text(), "35");
    EXPECT_FALSE(Find<QToolButton>(main, "Rename")->isVisibleTo(main));
    EXPECT_TRUE(Find<QCheckBox>(main->optionWindow(), "MatchOrientations")->isChecked());
    EXPECT_TRUE(main->workspace().options.MatchOrientations);
}

TEST_F(MainWindowTest, DamagedSettingsHistoryAndDefaultFilesAreSurvived) {
    home.Write("app.cfg", "x\ny\n\x01\x02garbage");
    home.Write("history.cfg", std::string("\0\0\xff\xfe", 4) + "\r\n/nowhere/x.ld2\r\n");
    home.Write("default.ld2", "LDB8 short");
    Start();
    EXPECT_TRUE(main->firstShowDone());
    EXPECT_EQ(main->size(), QSize(640, 480));
    // A default file is there, so Load Default is offered from the start.
    EXPECT_TRUE(Find<QPushButton>(main->optionWindow(), "LoadDefault")->isEnabled());
    main->PrepareFileMenu();
    EXPECT_EQ(Title(*main), "Lumidex2 [New]");
}

TEST_F(MainWindowTest, LongOptionHintsShowOnlyWhileTheJapaneseOptionsWindowIsOpen) {
    Start();
    TOption* option = main->optionWindow();
    auto hover = [&](const char* control) {
        QWidget* w = option->findChild<QWidget*>(control);
        QStatusTipEvent tip(w->statusTip());
        QApplication::sendEvent(w, &tip);
    };
    std::string before = main->PanelText(StatusPanel::Outcome);
    hover("DoubleCheck");
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), before);
    option->show();
    hover("DoubleCheck");
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "二重チェックします。より厳密になります");
    Find<QCheckBox>(option, "UseJapneseMenu")->click();
    hover("NotStrict");
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "二重チェックします。より厳密になります");
    option->hide();
}

TEST_F(MainWindowTest, SearchBarListsUpSimilarPicturesAndSearchesByCriterion) {
    Start({QString::fromStdString(MakeSimilarDatabase(data))});
    Lists& lists = main->workspace().lists;
    auto* filter = Find<QComboBox>(main, "DataFilter");
    auto* search = Find<QToolButton>(main, "SearchButton");
    auto* send = Find<QCheckBox>(main, "SendToTarget");
    auto* normal = Find<QRadioButton>(main, "RBNormal");
    ASSERT_EQ(lists.reference.Count(), 4); // "All" at start

    Choose(filter, 1);
    EXPECT_EQ(FileNames(lists.reference), (std::vector<std::string>{"p0.png", "p1.png"}));
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "Search Done 2 Files found.");
    EXPECT_EQ(main->PanelText(StatusPanel::Counts), "2/4");
    EXPECT_TRUE(filter->isEnabled());
    EXPECT_FALSE(search->isEnabled());
    EXPECT_FALSE(normal->isEnabled());

    QTreeView* view = main->ListBox1();
    view->selectionModel()->select(view->model()->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(FileNames(lists.target), std::vector<std::string>{"p1.png"});
    EXPECT_EQ(main->ListBox2()->model()->rowCount(), 1);

    // Refresh lists up again and keeps the selected reference.
    Find<QToolButton>(main, "SpeedButton9")->click();
    EXPECT_EQ(lists.reference.Count(), 2);
    EXPECT_EQ(lists.reference.SelectedRow(), 0);

    // A criterion enables the search controls; "Updated Pics" finds the file changed on disk.
    std::filesystem::path p2 = data.File("sim_pics/p2.png");
    std::filesystem::last_write_time(p2, std::filesystem::last_write_time(p2) +
                                             std::chrono::seconds(100));
    Choose(filter, 7);
    EXPECT_TRUE(search->isEnabled());
    EXPECT_TRUE(normal->isEnabled());
    EXPECT_EQ(lists.reference.Count(), 2); // choosing a criterion lists nothing yet
    search->click();
    EXPECT_EQ(FileNames(lists.reference), std::vector<std::string>{"p2.png"});
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "1 Files match.");
    // "Folder Name" has no dialog yet: no search.
    Choose(filter, 3);
    EXPECT_FALSE(search->isEnabled());

    // "Send to Target" ticks "Disable Reference"; Refresh on a criterion goes back to "All".
    send->click();
    EXPECT_TRUE(Find<QCheckBox>(main, "DisableAutoFind")->isChecked());
    EXPECT_FALSE(view->isEnabled());
    main->Action("Refind1")->trigger();
    EXPECT_EQ(filter->currentIndex(), 0);
    EXPECT_EQ(lists.reference.Count(), 4);
    EXPECT_FALSE(send->isEnabled());

    // "All >>" copies the reference rows; "Remove from List" takes selected ones out again.
    Find<QPushButton>(main, "ListupAll")->click();
    EXPECT_EQ(lists.target.Count(), 4);
    lists.target.Select(0);
    main->Action("RemovefromList1")->trigger();
    EXPECT_EQ(lists.target.Count(), 3);
    EXPECT_EQ(main->ListBox2()->model()->rowCount(), 3);
}

TEST_F(MainWindowTest, SearchDialogsGiveTheCriterionValue) {
    Start({QString::fromStdString(MakeSimilarDatabase(data))});
    Lists& lists = main->workspace().lists;
    auto* filter = Find<QComboBox>(main, "DataFilter");
    auto* search = Find<QToolButton>(main, "SearchButton");
    using Names = std::vector<std::string>;

    // "Name": a text in the path, letter case ignored; "Or" adds only the missing rows.
    Choose(filter, 2);
    std::string caption;
    OnDialog([&](QDialog* d) {
        caption = d->windowTitle().toStdString();
        d->findChild<QLineEdit*>()->setText("P3.");
        d->accept();
    });
    search->click();
    EXPECT_EQ(caption, "Search");
    EXPECT_EQ(FileNames(lists.reference), Names{"p3.png"});
    Find<QRadioButton>(main, "RBOr")->click();
    OnDialog([](QDialog* d) {
        d->findChild<QLineEdit*>()->setText("p");
        d->accept();
    });
    search->click();
    EXPECT_EQ(FileNames(lists.reference), (Names{"p0.png", "p1.png", "p2.png", "p3.png"}));
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "4 Files match.");

    // "File Size" starts from the reference's size; a cancelled dialog changes nothing.
    Find<QRadioButton>(main, "RBNormal")->click();
    lists.SelectReference(0);
    main->RefreshViews();
    Choose(filter, 5);
    OnDialog([](QDialog* d) { d->reject(); });
    search->click();
    EXPECT_EQ(lists.reference.Count(), 4);
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "0 Files match.");
    std::string field;
    OnDialog([&](QDialog* d) {
        field = d->findChild<QLineEdit*>("Edit1")->text().toStdString();
        d->findChildren<QRadioButton*>()[1]->click(); // "=="
        d->accept();
    });
    search->click();
    EXPECT_EQ(field, std::to_string(lists.reference.EntryAt(0)->fileSize));
    EXPECT_EQ(FileNames(lists.reference), (Names{"p0.png", "p1.png"})); // the same file twice

    // "Memo": one memo of the group, or "Any of them".
    Workspace& ws = main->workspace();
    ws.memos.AddGroup("Places", 100);
    const int beach = ws.memos.PutMemo("Beach", 100);
    const int hill = ws.memos.PutMemo("Hill", 100);
    auto entryNamed = [&](const std::string& name) -> Pdata& {
        for (int i = 0; i < ws.catalogue.Count(); ++i)
            if (ws.catalogue.Entry(i).path.ends_with(name)) return ws.catalogue.Entry(i);
        throw std::runtime_error(name);
    };
    entryNamed("p0.png").AddMemo(beach);
    entryNamed("p2.png").AddMemo(hill);
    Choose(filter, 4);
    std::vector<std::string> memoItems;
    OnDialog([&](QDialog* d) {
        auto* memo = d->findChild<QComboBox*>("ItemValue");
        for (int i = 0; i < memo->count(); ++i)
            memoItems.push_back(memo->itemText(i).toStdString());
        d->accept();
    });
    search->click();
    EXPECT_EQ(memoItems, (Names{"Beach", "Hill", "Any of them"}));
    EXPECT_EQ(FileNames(lists.reference), Names{"p0.png"});
    OnDialog([](QDialog* d) {
        d->findChild<QComboBox*>("ItemValue")->setCurrentIndex(2);
        d->accept();
    });
    search->click();
    EXPECT_EQ(FileNames(lists.reference), (Names{"p0.png", "p2.png"}));

    // "File Date" in mode "Date": every picture of the reference's day.
    Choose(filter, 6);
    OnDialog([](QDialog* d) {
        d->findChildren<QRadioButton*>()[1]->click(); // "=="
        d->accept();
    });
    search->click();
    EXPECT_EQ(lists.reference.Count(), 4);
}

TEST_F(MainWindowTest, StopEndsTheListUpAndRefreshListsUpAgain) {
    Start({QString::fromStdString(MakeSimilarDatabase(data))});
    Workspace& ws = main->workspace();
    ws.options.AllowRobustOperation = true;
    auto* stop = Find<QToolButton>(main, "StopBitBtn");
    bool shownDuringListUp = false;
    QTimer::singleShot(0, main, [&] {
        shownDuringListUp = stop->isVisible();
        // The entries the list-up walks must stay.
        main->Action("ClearAllDataEntry1")->trigger();
        stop->click();
    });
    Choose(Find<QComboBox>(main, "DataFilter"), 1);
    EXPECT_TRUE(shownDuringListUp);
    EXPECT_EQ(ws.catalogue.Count(), 4);
    EXPECT_FALSE(stop->isVisible());
    EXPECT_EQ(ws.lists.reference.Count(), 0);
    EXPECT_EQ(main->PanelText(StatusPanel::Outcome), "Search Done 0 Files found.");
    for (int i = 0; i < ws.catalogue.Count(); ++i)
        EXPECT_EQ(ws.catalogue.Entry(i).listUpMark, -1);
    // After a stop, Refresh runs the whole list-up again.
    EXPECT_TRUE(ws.StopRequested);
    Find<QToolButton>(main, "SpeedButton9")->click();
    EXPECT_EQ(ws.lists.reference.Count(), 2);
}

TEST_F(MainWindowTest, ClearCommandsAskAndClear) {
    Start({QString::fromStdString(MakeSimilarDatabase(data))});
    Workspace& ws = main->workspace();
    ws.options.ConfirmClear = true;
    auto* clear = Find<QToolButton>(main, "ClearEntry");
    ws.lists.SelectReference(0);
    main->RefreshViews();
    main->UpdateActions();
    ASSERT_TRUE(clear->isEnabled());

    script.answers = {Answer::No};
    clear->click();
    EXPECT_EQ(ws.catalogue.Count(), 4);
    script.answers = {Answer::Yes};
    clear->click();
    EXPECT_EQ(ws.catalogue.Count(), 3);
    EXPECT_EQ(script.questions.back().text, "Clear selected entry?");
    EXPECT_EQ(Title(*main).back(), '*');

    // "Clear All" asks only while there are unsaved changes.
    script.answers = {Answer::No};
    Find<QToolButton>(main, "SpeedButton8")->click();
    EXPECT_EQ(ws.catalogue.Count(), 3);
    EXPECT_EQ(script.questions.back().text, "Clear all entries?");
    script.answers = {Answer::Yes};
    main->Action("ClearAllDataEntry1")->trigger();
    EXPECT_TRUE(ws.catalogue.Empty());
    EXPECT_EQ(ws.lists.reference.Count(), 0);
    EXPECT_EQ(main->ListBox1()->model()->rowCount(), 0);
    EXPECT_EQ(Title(*main), "Lumidex2 [New]");
    EXPECT_EQ(main->PanelText(StatusPanel::Counts), "0/0");
    EXPECT_FALSE(Find<QToolButton>(main, "SpeedButton8")->isEnabled());
}

TEST_F(MainWindowTest, ClearAllWithoutChangesAsksNothing) {
    Start({QString::fromStdString(MakeSimilarDatabase(data))});
    size_t asked = script.questions.size();
    Find<QToolButton>(main, "SpeedButton8")->click();
    EXPECT_EQ(script.questions.size(), asked);
    EXPECT_TRUE(main->workspace().catalogue.Empty());
}

TEST(EntryListModel, PassesTheModelTesterAcrossChanges) {
    EnsureApp();
    EntryList list;
    Options options;
    EntryListModel model(list, options);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Pdata a("/x/b.jpg"), b("/y/a.jpg");
    list.Add("b.jpg", &a);
    model.Refresh();
    list.Add("a.jpg", &b);
    model.Refresh();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "a.jpg");
    options.ShoePathName = true;
    model.Refresh();
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "/y/a.jpg");
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(), "");
    list.Clear();
    // Before the view hears of it, a shrunken list gives nothing rather than a stale row.
    EXPECT_FALSE(model.data(model.index(1, 0), Qt::DisplayRole).isValid());
    model.Refresh();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(TProgressWindow, ShowingResetsAndAbortSetsTheRequest) {
    EnsureApp();
    TProgress progress;
    EXPECT_EQ(progress.windowTitle(), "Progress");
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(progress.findChild<QLabel*>("Image1")->size(), QSize(105, 105));
    progress.ProgressBar2()->setMaximum(40);
    progress.ProgressBar2()->setValue(30);
    progress.SetAbortRequested(true);
    progress.ShowProgress();
    EXPECT_FALSE(progress.AbortRequested());
    EXPECT_EQ(progress.ProgressBar1()->value(), 0);
    EXPECT_EQ(progress.ProgressBar2()->value(), 0);
    EXPECT_EQ(progress.ProgressBar1()->maximum(), 16);
    progress.findChild<QPushButton*>("Abort")->click();
    EXPECT_TRUE(progress.AbortRequested());
    for (int i = 0; i < 20; ++i)
        progress.StepPictureBar();
    EXPECT_EQ(progress.ProgressBar1()->value(), 16);
}

TEST(LumidexServerChannel, SecondInstanceLeavesTheBlockAndMessagesArrive) {
    EnsureApp();
    QString name = QString("Lumidex Test %1").arg(QCoreApplication::applicationPid());
    LumidexServer first(nullptr, name);
    ASSERT_TRUE(first.owner());
    EXPECT_EQ(first.StoredProcessId(), static_cast<uint32_t>(QCoreApplication::applicationPid()));
    {
        LumidexServer second(nullptr, name);
        EXPECT_FALSE(second.owner());
        EXPECT_FALSE(second.listening());
    }
    EXPECT_TRUE(first.listening());
    EXPECT_EQ(first.StoredProcessId(), static_cast<uint32_t>(QCoreApplication::applicationPid()));

    QSignalSpy spy(&first, &LumidexServer::messageReceived);
    QLocalSocket socket;
    socket.connectToServer(PerUserChannelName(name));
    ASSERT_TRUE(socket.waitForConnected(2000));
    uchar bytes[8];
    qToLittleEndian<uint32_t>(7, bytes);
    qToLittleEndian<uint32_t>(0x12345678, bytes + 4);
    socket.write(reinterpret_cast<const char*>(bytes), 8);
    socket.flush();
    ASSERT_TRUE(spy.wait(2000));
    EXPECT_EQ(spy.at(0).at(0).toUInt(), 7u);
    EXPECT_EQ(spy.at(0).at(1).toUInt(), 0x12345678u);
}

TEST_F(MainWindowTest, ADatabaseReadRefusesCommandsThatWouldFreeItsEntries) {
    Start({QString::fromStdString(MakeSimilarDatabase(data))});
    Workspace& ws = main->workspace();
    ws.options.AllowRobustOperation = true;
    TempDir otherDir;
    const std::string other = MakeSimilarDatabase(otherDir);
    bool seen = false, refused = false;
    // While the import lets events run, clearing and closing must not touch the catalogue it
    // is filling; closing asks the read to stop instead.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, main, [&] {
        if (seen || !ws.OperationRunning()) return;
        seen = true;
        const int before = ws.catalogue.Count();
        main->Action("ClearAllDataEntry1")->trigger();
        main->close();
        refused = ws.catalogue.Count() == before && main->isVisible() && ws.StopRequested;
    });
    poll.start(0);
    script.chosenFiles = {other};
    main->Action("MergeDatabase1")->trigger();
    EXPECT_GE(ws.catalogue.Count(), 4);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(refused);
    EXPECT_FALSE(ws.OperationRunning());
}

} // namespace
} // namespace lumidex
