#pragma once

#include "MismatchGroups.h"
#include "MismatchRowsModel.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace lumidex {

class Workspace;

// What the main window does for the editor.
class MismatchEditorHost {
public:
    virtual ~MismatchEditorHost() = default;
    // A double-clicked row: select the entry in the reference list when it is listed there.
    virtual void SelectEntry(Pdata* entry) = 0;
    // Group numbers changed: rebuild the lists and the title.
    virtual void GroupsChanged() = 0;
};

// "Mismatch Editor": lists every entry in a mismatch group and dissolves groups.
class TMismatchEditor : public QDialog {
    Q_OBJECT
public:
    TMismatchEditor(Workspace& ws, MismatchEditorHost* host, QWidget* parent = nullptr);
    ~TMismatchEditor() override;
    // Rebuilds the rows (each time the window is shown).
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RemoveClick();
    void RemoveSingleClick();
    void SearchClick(bool forward);
    void RowClicked();
    void UpdateButtons();

    Workspace& ws_;
    MismatchEditorHost* host_;
    int listener_ = 0;
    MismatchEditorRows rows_;
    MismatchRowsModel model_{rows_};
    QListView* list_;
    QLabel* groupNo_;
    QLineEdit* search_;
    QPushButton *remove_, *removeSingle_, *forward_, *backward_, *close_;
};

} // namespace lumidex
