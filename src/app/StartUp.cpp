#include "StartUp.h"

#include "LaterWindows.h"
#include "SearchDialogs.h"
#include "TDirSel.h"
#include "TMain.h"
#include "TOpenForm.h"
#include "TOption.h"
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
    add(new TMemoMan(main));
    add(new TDateSpec(main));
    auto* sharedViewer = new TViewLeft(main);
    add(sharedViewer);
    add(new TPathChange(main));
    add(new TRenameDlg(main));
    auto* dirSel = new TDirSel(main);
    add(dirSel);
    add(new TSpanel(main));
    add(new TSizeSpec(main));
    auto* slideShow = new TSlideShow(main->workspace(), main);
    add(slideShow);
    add(new TUnlinkedData(main->workspace().FileOpsParts(), main));
    main->AttachAboutBox(static_cast<TAboutBox*>(add(new TAboutBox(main))));
    auto* progress = new TProgress(main);
    add(progress);
    main->AttachOptionWindow(static_cast<TOption*>(add(new TOption(main))));
    add(new TFolderManager(main));
    add(new TQueryDialog(main));
    auto* openForm = new TOpenForm(main);
    add(openForm);
    add(new TMismatchEditor(main));
    add(new TPView(main));
    add(new TMismatchhConf(main));
    add(new TNavigator(main));
    auto* thumbnail = new TThumbnail(main->workspace(), main);
    add(thumbnail);
    main->AttachDialogs(dirSel, openForm, progress);
    main->AttachViewTools(thumbnail, slideShow, sharedViewer);
    return program;
}

} // namespace lumidex
