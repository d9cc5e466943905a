#pragma once

#include "FolderDialogRules.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QFileSystemModel;
class QMenu;
class QTreeView;

namespace lumidex {

// The place selector (DriveComboBox1) over a folder tree (DirectoryListBox1) and the current
// folder they show, with the context menu the folder and picture dialogs share.
class FolderBrowser : public QWidget {
    Q_OBJECT
public:
    explicit FolderBrowser(QWidget* parent = nullptr);

    // A full path without trailing delimiter, except "/".
    const std::string& CurrentFolder() const { return current_; }
    // Shows folder, or its nearest existing parent, or the home folder.
    void SetCurrentFolder(const std::string& folder);
    // Reads the tree from disk again at the current folder.
    void Refresh();

    // Where "Move to Database Folder" and "Move to File Folder" lead: the database folder
    // with its trailing delimiter ("" for a new catalogue) and the current reference's path
    // ("" when there is none).
    void SetSources(std::function<std::string()> databaseFolder,
                    std::function<std::string()> referencePath);
    // The context menu (shared with the picture dialog's file list); PrepareMenu enables it.
    QMenu* ContextMenu() const { return menu_; }
    void PrepareMenu();
    void MoveToDatabaseFolder();
    void MoveToFileFolder();
    QComboBox* DriveComboBox1() const { return drives_; }
    QTreeView* DirectoryListBox1() const { return tree_; }
    const std::vector<Place>& Places() const { return places_; }

signals:
    void currentFolderChanged();

private:
    void ShowPlace(int index);
    void OnTreeCurrentChanged();

    std::string current_;
    std::vector<Place> places_;
    std::function<std::string()> databaseFolder_;
    std::function<std::string()> referencePath_;
    QComboBox* drives_;
    QTreeView* tree_;
    QFileSystemModel* model_;
    QMenu* menu_;
    QAction* toDatabase_;
    bool updating_ = false;
};

} // namespace lumidex
