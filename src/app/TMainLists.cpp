// The main window: list views, search bar and list commands.
#include "TMain.h"

#include "DatabaseCommands.h"
#include "EntryListModel.h"
#include "FileStatus.h"
#include "SmallWindows.h"
#include "LumidexServer.h"
#include "MenuCaptions.h"
#include "Paths.h"
#include "QtText.h"
#include "SearchDialogs.h"
#include "StartUp.h"
#include "TOption.h"
#include "TProgress.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace lumidex {
void TMain::SetPreviewSizes(int64_t left, int64_t right) {
    previewSizes_ = {left, right};
    ShowSizeComparison();
}

void TMain::ShowSizeComparison() {
    SizeComparison c = CompareSizes(previewSizes_.first, previewSizes_.second);
    auto look = [this](QFrame* panel, const PanelLook& l) {
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window,
                         style()->standardPalette().color(l.highlight ? QPalette::HighlightedText
                                                                      : QPalette::Button));
        panel->setPalette(palette);
        panel->setFrameShadow(l.raised ? QFrame::Raised : QFrame::Sunken);
    };
    look(leftViewPanel_, c.left);
    look(rightViewPanel_, c.right);
}

void TMain::RefreshViews() {
    model1_->Refresh();
    model2_->Refresh();
    SyncViewSelection();
}

void TMain::SyncViewSelection() {
    syncing_ = true;
    for (auto [view, list] :
         {std::pair{listBox1_, &ws_->lists.reference}, std::pair{listBox2_, &ws_->lists.target}}) {
        QItemSelectionModel* sel = view->selectionModel();
        QItemSelection selection;
        for (int row : list->SelectedRows())
            selection.select(view->model()->index(row, 0), view->model()->index(row, 2));
        sel->select(selection, QItemSelectionModel::ClearAndSelect);
        if (int row = list->SelectedRow(); row >= 0)
            sel->setCurrentIndex(view->model()->index(row, 0), QItemSelectionModel::NoUpdate);
    }
    syncing_ = false;
}

void TMain::MoveListSelection(bool reference, int step) {
    Lists& lists = ws_->lists;
    // Moving the selection already runs the selection's reactions.
    if (lists.MoveSelection(reference ? lists.reference : lists.target, step) < 0) return;
    RefreshViews();
    QTreeView* view = reference ? listBox1_ : listBox2_;
    int row = (reference ? lists.reference : lists.target).SelectedRow();
    if (row >= 0) view->scrollTo(view->model()->index(row, 0));
}

void TMain::OnViewSelectionChanged(bool reference) {
    if (syncing_) return;
    Lists& lists = ws_->lists;
    EntryList& list = reference ? lists.reference : lists.target;
    QTreeView* view = reference ? listBox1_ : listBox2_;
    list.ClearSelection();
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        if (index.row() < list.Count()) list.Select(index.row());
    if (reference)
        lists.ReferenceSelectionChanged();
    else
        lists.TargetSelectionChanged(true);
    RefreshViews();
    UpdateToolButtons();
}

bool TMain::ListUpRunning() const {
    // A list-up, a read or a scan that lets messages run still holds entries and positions:
    // nothing may free entries or replace the catalogue under it.
    return ws_->lists.updateRunning || ws_->OperationRunning();
}

Method TMain::ChosenMethod() const {
    for (auto [name, method] : {std::pair{"RBOr", Method::RBOr}, std::pair{"RBAnd", Method::RBAnd},
                                std::pair{"RBNot", Method::RBNot}}) {
        auto* radio = methodPanel_->findChild<QRadioButton*>(name);
        if (radio && radio->isChecked()) return method;
    }
    return Method::RBNormal;
}

void TMain::SyncSearchBar() {
    if (!dataFilter_ || !sendToTarget_ || !disableAutoFind_ || !listupAll_) return;
    Lists& lists = ws_->lists;
    const int index = static_cast<int>(lists.dataFilter);
    const bool criterion = index >= static_cast<int>(FilterItem::Name) &&
                           index <= static_cast<int>(FilterItem::UpdatedPics);
    // "Folder Name" has no dialog yet; Search stays off for it.
    const bool searchable = criterion && lists.dataFilter != FilterItem::FolderName;
    QSignalBlocker b1(dataFilter_), b2(sendToTarget_), b3(disableAutoFind_);
    if (dataFilter_->currentIndex() != index) dataFilter_->setCurrentIndex(index);
    // No second choice while a list-up lets messages run.
    dataFilter_->setEnabled(!lists.updateRunning);
    for (QRadioButton* radio : methodPanel_->findChildren<QRadioButton*>())
        radio->setEnabled(criterion);
    sendToTarget_->setEnabled(criterion);
    sendToTarget_->setChecked(lists.SendToTarget);
    searchButton_->setEnabled(searchable && !lists.updateRunning);
    disableAutoFind_->setChecked(lists.DisableAutoFind);
    listBox1_->setEnabled(!lists.DisableAutoFind);
    model1_->SetDimmed(lists.DisableAutoFind);
    listupAll_->setEnabled(!lists.updateRunning);
}

void TMain::DataFilterChange(int index) {
    Lists& lists = ws_->lists;
    if (index < 0 || index == static_cast<int>(lists.dataFilter) || lists.updateRunning) {
        SyncSearchBar();
        return;
    }
    dataFilter_->setEnabled(false);
    ChooseFilter(lists, static_cast<FilterItem>(index), ws_->newPictures);
    RefreshViews();
    UpdateToolButtons();
}

void TMain::SearchButtonClick() {
    Lists& lists = ws_->lists;
    const Pdata* reference = lists.currentReference;
    EntryTest test;
    switch (static_cast<FilterItem>(dataFilter_->currentIndex())) {
    case FilterItem::Name: {
        QInputDialog dialog(this);
        dialog.setObjectName("SearchText");
        dialog.setWindowTitle("Search");
        dialog.setLabelText("");
        dialog.setTextValue(searchText_);
        if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setFixedWidth(145);
        PlaceAtCursor(&dialog);
        if (dialog.exec() != QDialog::Accepted) break;
        searchText_ = dialog.textValue();
        test = NameTest(S(searchText_));
        break;
    }
    case FilterItem::FileSize: {
        auto* dialog = findChild<TSizeSpec*>("TSizeSpec");
        if (!dialog) return;
        if (reference) dialog->SetField(std::to_string(reference->fileSize));
        PlaceAtCursor(dialog);
        if (dialog->exec() == QDialog::Accepted)
            test = SizeTest(dialog->relation(), dialog->Value());
        break;
    }
    case FilterItem::FileDate: {
        auto* dialog = findChild<TDateSpec*>("TDateSpec");
        if (!dialog) return;
        if (reference && reference->fileTime != -1) dialog->SetTime(reference->fileTime);
        PlaceAtCursor(dialog);
        if (dialog->exec() == QDialog::Accepted)
            test = DateTest(dialog->relation(), dialog->Value(), dialog->DateOnly());
        break;
    }
    case FilterItem::Memo: {
        auto* dialog = findChild<TDataItemEditor*>("TDataItemEditor");
        if (!dialog) return;
        dialog->Prepare(ws_->memos);
        PlaceAtCursor(dialog);
        if (dialog->exec() == QDialog::Accepted) test = dialog->Test(ws_->memos);
        break;
    }
    case FilterItem::UpdatedPics:
        test = UpdatedTest();
        break;
    default:
        // "All" and "Has Similar Pics" act when chosen; "Folder Name" has no dialog yet.
        return;
    }
    RunSearch(lists, ChosenMethod(), test);
    RefreshViews();
    UpdateToolButtons();
}

void TMain::RefindClick() {
    Refresh(ws_->lists, ws_->newPictures, true);
    UpdateTitle(0);
}

void TMain::ListupAllClick() {
    ws_->lists.ListupAll();
    RefreshViews();
    UpdateToolButtons();
}

void TMain::ClearAllDataEntryClick() {
    if (ListUpRunning()) return;
    if (!ws_->ClearAllEntries()) return;
    SetPreviewSizes(-1, -1);
    UpdateTitle(0);
}

void TMain::ClearAllDataEntryinRefListClick() {
    if (ListUpRunning()) return;
    if (ws_->lists.ClearAllInReferenceList()) UpdateTitle(0);
    RefreshViews();
}

void TMain::DeleteDataEntryClick() {
    if (ListUpRunning()) return;
    if (ws_->lists.ClearSelectedEntry()) UpdateTitle(0);
    RefreshViews();
}

void TMain::ReanalizeAllinRefListClick() {
    if (ListUpRunning()) return;
    ws_->ReanalyseReferenceList();
    UpdateTitle(0);
    // The reference pane showed each picture in turn; it returns to the selected one.
    if (Pdata* selected = ws_->lists.currentReference) View(true, selected);
}

void TMain::FindinRefListClick() {
    ws_->lists.FindInReferenceList();
    RefreshViews();
    if (int row = ws_->lists.reference.SelectedRow(); row >= 0)
        listBox1_->scrollTo(model1_->index(row, 0));
    UpdateToolButtons();
}

void TMain::RemovefromListClick() {
    ws_->lists.RemoveFromTargetList();
    RefreshViews();
    UpdateToolButtons();
}

} // namespace lumidex
