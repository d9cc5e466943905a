#include "StartUp.h"

#include "LaterWindows.h"
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
    add(main->MakeMemoMan());
    add(new TDateSpec(main));
    add(new TViewLeft(main));
    add(new TPathChange(main));
    add(new TRenameDlg(main));
    auto* dirSel = new TDirSel(main);
    add(dirSel);
    add(new TSpanel(main));
    add(new TSizeSpec(main));
    add(new TSlideShow(main));
    add(new TUnlinkedData(main->workspace().FileOpsParts(), main));
    main->AttachAboutBox(static_cast<TAboutBox*>(add(new TAboutBox(main))));
    auto* progress = new TProgress(main);
    add(progress);
    main->AttachOptionWindow(static_cast<TOption*>(add(new TOption(main))));
    add(main->MakeFolderManager());
    add(new TQueryDialog(main));
    auto* openForm = new TOpenForm(main);
    add(openForm);
    add(main->MakeMismatchEditor());
    add(new TPView(main));
    add(main->MakeMismatchConf());
    add(main->MakeNavigator());
    add(new TThumbnail(main));
    main->AttachDialogs(dirSel, openForm, progress);
    return program;
}

} // namespace lumidex
