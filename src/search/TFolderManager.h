#pragma once

#include "FolderExplorer.h"
#include "FolderNote.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTreeView;

namespace lumidex {

class Workspace;

// What the main window does for the explorer.
class FolderManagerHost {
public:
    virtual ~FolderManagerHost() = default;
    // "Up" (-1) and "Down" (+1): the reference list's selection.
    virtual void MoveReferenceSelection(int step) = 0;
    // "Move to" or a search changed the lists.
    virtual void ListsChanged() = 0;
    // A picture of the reference list (or the target list) dropped on the folder: its file
    // moves there. False when nothing moved.
    virtual bool MoveOntoFolder(const std::string& folder, bool fromReference) {
        (void)folder;
        (void)fromReference;
        return false;
    }
};

// "Folder Explorer": the catalogue's folders as a tree, with jumps, folder searches and a note
// per folder.
class TFolderManager : public QDialog {
    Q_OBJECT
public:
    TFolderManager(Workspace& ws, FolderManagerHost* host, QWidget* parent = nullptr);
    ~TFolderManager() override;
    // ActionFolderManExecute's part: rebuild from FolderList and select the current
    // reference's folder.
    void Rebuild();
    // AddPath from the file operations (select: the folder becomes the selected node).
    void AddPath(const std::string& path, bool select);
    // Saves a changed note; the main window calls it before a clear, an open and at shutdown.
    bool SaveNote();
    std::string CurrentFolder() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NodeSelected();
    void FindFirst();
    void Search(bool subfolders);
    void Select(int node);
    void NoteFailed();

    Workspace& ws_;
    FolderManagerHost* host_;
    int listener_ = 0;
    FolderTree tree_;
    FolderTreeModel model_{tree_};
    FolderNoteField note_;
    QTreeView* view_;
    QPlainTextEdit* memo_;
    QStatusBar* status_;
    QPushButton *findFirst_, *search_, *search2_;
    bool loading_ = false;
};

} // namespace lumidex
