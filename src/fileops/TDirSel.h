#pragma once

#include "FolderDestinations.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QListWidget;
class QPushButton;
class QSpinBox;
class QWidget;

namespace lumidex {

class FolderBrowser;

// The folder selection dialog: one folder for the command that put it into a mode, and the
// destinations confirmed during this run.
class TDirSel : public QDialog {
    Q_OBJECT
public:
    explicit TDirSel(QWidget* parent = nullptr);

    // 0 adding a folder, 1 copy, 2 move, 3 plug-in folder, 4 path change, 6 folder search;
    // other numbers change nothing.
    void SetMode(int mode);
    int Mode() const { return mode_; }

    std::string CurrentFolder() const;
    void SetCurrentFolder(const std::string& folder);
    FolderBrowser* Browser() const { return browser_; }

    // The "Ok" rule: the folder joins the remembered destinations at the top.
    void Remember(const std::string& folder);
    void AddDatabaseFolder(const std::string& folder);
    const FolderDestinations& Destinations() const { return destinations_; }

    // Creates name in the current folder and goes there; the error text, or "" when done.
    std::string MakeFolder(const std::string& name);
    // "Make Folder...": asks for the name, reports a failure in a message box.
    void MakeFolderClick();

    // The choices of the adding page.
    struct ImageRead {
        bool minimize = false;
        bool setDepth = false;
        int depth = 1;
        bool makeErrorLog = false;
    };
    ImageRead ImageReadChoice() const;
    bool SearchSubfolder() const;

signals:
    void destinationsChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowDestinations();

    int mode_ = 0;
    FolderDestinations destinations_;
    FolderBrowser* browser_;
    QCheckBox* searchSubfolder_;
    QWidget* imageReadPage_;
    QWidget* copyMovePage_;
    QCheckBox* minimize_;
    QCheckBox* levelLimit_;
    QSpinBox* edit1_;
    QCheckBox* makeErrorLog_;
    QListWidget* treeView1_;
};

} // namespace lumidex
