#pragma once

#include "FileOps.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lumidex {

// "Rename To": a new name for one file; the extension stays.
class TRenameDlg : public QDialog, public RenameAsker {
    Q_OBJECT
public:
    explicit TRenameDlg(QWidget* parent = nullptr);
    void Fill(const std::string& name, const std::string& extension, const std::string& message);
    bool AskNewName(std::string& name, const std::string& extension,
                    const std::string& message) override;
    QLineEdit* Edit1;
    QLabel* Label1;
    QLabel* Message;
    QPushButton *OKBtn, *CancelBtn;
};

} // namespace lumidex
