#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace lumidex {

class FolderBrowser;

// The picture selection dialog of "Add Picture...": a folder tree and the pictures of the
// current folder, several of which can be chosen.
class TOpenForm : public QDialog {
    Q_OBJECT
public:
    explicit TOpenForm(QWidget* parent = nullptr);

    // The ";"-separated wildcard patterns of the files listed ("*.jpg;*.png").
    void SetMask(const std::string& patterns);
    std::string CurrentFolder() const;
    void SetCurrentFolder(const std::string& folder);
    FolderBrowser* Browser() const { return browser_; }
    // The names of the chosen files, in list order.
    std::vector<std::string> SelectedNames() const;
    void SelectAllClick();
    // Lists the files of the current folder again.
    void RefreshFiles();

protected:
    void showEvent(QShowEvent* event) override;

private:
    FolderBrowser* browser_;
    QListWidget* files_;
    QStringList mask_;
};

} // namespace lumidex
