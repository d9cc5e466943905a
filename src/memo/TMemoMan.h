#pragma once

#include "MemoTreeModel.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTreeView;

namespace lumidex {

class Workspace;

// What the main window does for the memo manager.
class MemoManagerHost {
public:
    virtual ~MemoManagerHost() = default;
    // The entry's memos changed: refresh the hint of the preview that shows it.
    virtual void MemosOfEntryChanged(Pdata* entry) = 0;
    // Up / Down and the space bar: MoveSelection of the reference list.
    virtual void MoveReferenceSelection(int step) = 0;
    // "Search Prev" / "Search Next" selected another reference row.
    virtual void ReferenceSelectionMoved() {}
};

// "Memo Manager": the memo table as a tree; assigns memos to the shown entry and to the
// reference list.
class TMemoMan : public QDialog {
    Q_OBJECT
public:
    TMemoMan(Workspace& ws, MemoManagerHost* host, QWidget* parent = nullptr);
    ~TMemoMan() override;

    // RebuildTree: nodes from the table, groups expanded by InitialStatus, then the current
    // reference shown.
    void RebuildTree();
    void ShowMemosOf(Pdata* entry);
    MemoTreeModel& model() { return model_; }
    // For the search dialog and the navigator: the selected group id (-1) and memo slot (-1).
    int32_t SelectedGroupId() const;
    int SelectedSlot() const;
    // Refreshes every button's state (run after each command and on selection changes).
    void UpdateButtons();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* Button(const char* name, const char* caption, void (TMemoMan::*slot)());
    void NewGroupClick();
    void GroupPasteClick();
    void NewMemoClick();
    void MemoPasteClick();
    void DeleteGroupClick();
    void DeleteMemoClick();
    void SetClick();
    void ResetClick();
    void AllSetClick();
    void AllResetClick();
    void CopyClick();
    void PasteClick();
    void SearchPrevClick();
    void SearchNextClick();
    void MemoJump(int direction);
    void Changed(Pdata* entry);
    QString ClipboardLine() const;

    Workspace& ws_;
    MemoManagerHost* host_;
    int listener_ = 0;
    Pdata* shown_ = nullptr;
    MemoTreeModel model_;
    QTreeView* tree_;
    QCheckBox *autoExpand_, *replace_;
    QPushButton *newGroup_, *groupPaste_, *newMemo_, *memoPaste_, *deleteGroup_, *deleteMemo_;
    QPushButton *set_, *reset_, *allSet_, *allReset_, *copy_, *paste_;
    QPushButton *prev_, *next_, *searchPrev_, *searchNext_, *close_;
};

} // namespace lumidex
