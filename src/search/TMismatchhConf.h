#pragma once

#include "MismatchGroups.h"

#include <QDialog>

class QCheckBox;
class QListWidget;
class QRadioButton;

namespace lumidex {

// "Already in Mismatch": which group the new mismatch joins. Its check box "Don't show this
// Dialog" keeps its state for the program's run; the main window passes it to MakeMismatch.
class TMismatchhConf : public QDialog {
    Q_OBJECT
public:
    explicit TMismatchhConf(QWidget* parent = nullptr);
    // Shown modally near the mouse pointer; the answer for MakeMismatch.
    MismatchChoice Ask(MismatchQuestion& question);
    bool dontShow() const;

    // The two halves of Ask, for tests.
    void Prepare(const MismatchQuestion& question);
    MismatchChoice Choice(MismatchQuestion& question, bool accepted) const;

private:
    void RowChosen();
    QListWidget* groups_;
    QRadioButton *add_, *newGroup_, *mix_;
    QCheckBox* dontShow_;
    uint16_t referenceGroup_ = 0;
};

} // namespace lumidex
