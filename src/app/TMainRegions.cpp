// The main window: the region window ("Sub Index Manager") opened from the preview panes.
#include "TMain.h"

#include "FileStatus.h"
#include "StartUp.h"
#include "TPView.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>

namespace lumidex {

void TMain::ConnectRegions() {
    for (bool reference : {true, false}) {
        QAction* subIndex = Action(reference ? "MakeSecondIndex1" : "SubIndex1");
        connect(subIndex, &QAction::triggered, this,
                [this, reference] { SubIndexClick(reference); });
        // A picture whose file went away has no regions to draw.
        connect(reference ? popupMenuLeftUpper_ : popupMenuLeftLower_, &QMenu::aboutToShow, this,
                [this, reference, subIndex] {
                    const Pdata* shown = Pane(reference).shown;
                    subIndex->setEnabled(shown && IsExistingFile(shown->path));
                });
    }
    // The target list is found again with or without the regions.
    connect(useSubIndex_, &QCheckBox::clicked, this, [this] {
        if (ListUpRunning()) return;
        ws_->lists.ReferenceSelectionChanged();
        RefreshViews();
    });
    // An entry that goes away while its regions are edited is let go by the window.
    ws_->AddEntryListener([this](const Pdata* entry) {
        if (pView_) pView_->EntryRemoved(entry);
    });
}

void TMain::AttachRegionWindow(TPView* view) {
    pView_ = view;
}

TPView* TMain::RegionWindow() {
    if (!pView_) pView_ = new TPView(*ws_, this);
    return pView_;
}

void TMain::SubIndexClick(bool reference) {
    // The entry whose picture the pane holds: with "Auto View" off the list's selection may
    // be another one, and its regions would be cut from this picture.
    Pdata* entry = const_cast<Pdata*>(Pane(reference).shown);
    if (!entry || ListUpRunning()) return;
    RequestPaneReload(reference);
    TPView* view = RegionWindow();
    if (!view->Open(*entry)) return;
    view->onClosed = [this, reference](bool changed) { RegionWindowClosed(reference, changed); };
    PlaceAtCursor(view);
    view->exec();
}

void TMain::RegionWindowClosed(bool reference, bool changed) {
    RequestPaneReload(reference);
    // The next selection of that side reloads everything.
    (reference ? ws_->lists.currentReference : ws_->lists.currentTarget) = nullptr;
    if (changed) UpdateTitle(1);
    ws_->lists.RefreshAfterChange();
    RefreshViews();
}

} // namespace lumidex
