#include "StartUp.h"

#include "LaterWindows.h"
#include "SearchDialogs.h"
#include "TDirSel.h"
#include "TMain.h"
#include "TOpenForm.h"
#include "TOption.h"
#include "TPView.h"
#include "TPathChange.h"
#include "TProgress.h"
#include "TQueryDialog.h"
#include "TRenameDlg.h"
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
    add(new TViewLeft(main));
    auto* pathChange = new TPathChange(main);
    add(pathChange);
    auto* rename = new TRenameDlg(main);
    add(rename);
    auto* dirSel = new TDirSel(main);
    add(dirSel);
    add(new TSpanel(main));
    add(new TSizeSpec(main));
    add(new TSlideShow(main));
    auto* unlinked = new TUnlinkedData(main->workspace().FileOpsParts(), main);
    add(unlinked);
    main->AttachAboutBox(static_cast<TAboutBox*>(add(new TAboutBox(main))));
    auto* progress = new TProgress(main);
    add(progress);
    main->AttachOptionWindow(static_cast<TOption*>(add(new TOption(main))));
    add(new TFolderManager(main));
    auto* query = new TQueryDialog(main);
    add(query);
    auto* openForm = new TOpenForm(main);
    add(openForm);
    add(new TMismatchEditor(main));
    main->AttachRegionWindow(static_cast<TPView*>(add(new TPView(main->workspace(), main))));
    add(new TMismatchhConf(main));
    add(new TNavigator(main));
    add(new TThumbnail(main));
    main->AttachDialogs(dirSel, openForm, progress);
    main->AttachFileOps(query, rename, pathChange, unlinked);
    return program;
}

} // namespace lumidex
