#pragma once

#include "Navigator.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QStatusBar;
class QTabWidget;

namespace lumidex {

class Workspace;

// "Navigator": jumps through the reference list by page. Keeps its page, search text and
// memo choice while hidden.
class TNavigator : public QDialog {
    Q_OBJECT
public:
    explicit TNavigator(Workspace& ws, QWidget* parent = nullptr);
    // The memo manager's selection, chosen on the page "Memo" when it is shown next.
    void SetMemoChoice(int32_t groupId, int slot);
    // The memo table or the manager's selection changed: the page "Memo", while shown,
    // offers the choices again.
    void RefreshMemoChoice();
    // Up (-1) or Down (+1) on the current page.
    void Jump(int direction);

signals:
    // The reference selection moved: the main window refreshes what follows it.
    void selectionMoved();

private:
    void FillGroups();
    void FillMemos();
    void UpdateButtons();
    Workspace& ws_;
    QTabWidget* pages_;
    QLineEdit* searchString_;
    QComboBox *groups_, *memos_;
    QStatusBar* status_;
    QWidget *up_, *down_;
    int32_t wantedGroup_ = -1;
    int wantedSlot_ = -1;
};

} // namespace lumidex
