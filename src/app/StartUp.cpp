#include "StartUp.h"

#include "SmallWindows.h"
#include "SearchDialogs.h"
#include "TDirSel.h"
#include "TFolderManager.h"
#include "TMain.h"
#include "TMemoMan.h"
#include "TMismatchEditor.h"
#include "TMismatchhConf.h"
#include "TNavigator.h"
#include "TOpenForm.h"
#include "TOption.h"
#include "TPView.h"
#include "TPathChange.h"
#include "TProgress.h"
#include "TQueryDialog.h"
#include "TRenameDlg.h"
#include "TSlideShow.h"
#include "TThumbnail.h"
#include "TUnlinkedData.h"
#include "TViewLeft.h"

namespace lumidex {

std::unique_ptr<Program> StartProgram(const std::string& appDir, const QStringList& args) {
    auto program = std::make_unique<Program>();
    program->main = std::make_unique<TMain>(appDir, args);
    TMain* main = program->main.get();
    auto add = [&](QWidget* w) {
        w->hide();
        program->windows.push_back(w);
        return w;
    };
    add(main);
    add(new TDataItemEditor(main));
    add(main->MakeMemoMan());
    add(new TDateSpec(main));
    auto* sharedViewer = new TViewLeft(main);
    add(sharedViewer);
    auto* pathChange = new TPathChange(main);
    add(pathChange);
    auto* rename = new TRenameDlg(main);
    add(rename);
    auto* dirSel = new TDirSel(main);
    add(dirSel);
    add(new TSpanel(main));
    add(new TSizeSpec(main));
    auto* slideShow = new TSlideShow(main->workspace(), main);
    add(slideShow);
    auto* unlinked = new TUnlinkedData(main->workspace().FileOpsParts(), main);
    add(unlinked);
    main->AttachAboutBox(static_cast<TAboutBox*>(add(new TAboutBox(main))));
    auto* progress = new TProgress(main);
    add(progress);
    main->AttachOptionWindow(static_cast<TOption*>(add(new TOption(main))));
    add(main->MakeFolderManager());
    auto* query = new TQueryDialog(main);
    add(query);
    auto* openForm = new TOpenForm(main);
    add(openForm);
    add(main->MakeMismatchEditor());
    main->AttachRegionWindow(static_cast<TPView*>(add(new TPView(main->workspace(), main))));
    add(main->MakeMismatchConf());
    add(main->MakeNavigator());
    auto* thumbnail = new TThumbnail(main->workspace(), main);
    add(thumbnail);
    main->AttachDialogs(dirSel, openForm, progress);
    main->AttachFileOps(query, rename, pathChange, unlinked);
    main->AttachViewTools(thumbnail, slideShow, sharedViewer);
    return program;
}

} // namespace lumidex
