#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace lumidex {

// "Path Change": the folder whose entries change and the folder they now live in. Keeps its
// texts between uses; "&Move Folder..." hides the sub-folder box for its own run.
class TPathChange : public QDialog {
    Q_OBJECT
public:
    explicit TPathChange(QWidget* parent = nullptr);
    void SetFolders(const std::string& from, const std::string& to);
    // The texts, each with its trailing delimiter once OK was pressed.
    std::string From() const;
    std::string To() const;
    bool SubFolders() const;
    void SetSubFolderBoxShown(bool shown);

    QLineEdit* FromPath;
    QLineEdit* ToPath;
    QPushButton* Browse;
    QCheckBox* ChangeSubFoler;
    QPushButton *OKButton1, *Cancel;

signals:
    // "Browse": the window answers with the folder dialog and calls SetTo.
    void browseRequested(const QString& from);

public:
    void SetTo(const std::string& folder);
};

} // namespace lumidex
