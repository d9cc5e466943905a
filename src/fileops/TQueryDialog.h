#pragma once

#include "FileOps.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lumidex {

// The collision query: what to do with a file whose name the destination folder already
// holds. Holding Shift turns "Ok" into "Ok to All".
class TQueryDialog : public QDialog, public CollisionAsker {
    Q_OBJECT
public:
    explicit TQueryDialog(QWidget* parent = nullptr);

    // Fills the controls and preselects the proposal (PrepareQuery).
    void PrepareQuery(const CollisionQuery& query);
    // The reply the controls hold now.
    CollisionReply CurrentReply() const;
    // Shows the query modally.
    CollisionReply Ask(const CollisionQuery& query) override;
    bool OkToAll = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Choose(Collision answer);
    void SetShift(bool held);

    QLabel *Filename1, *Size1, *Date1, *Filename2, *Size2, *Date2;
    QRadioButton *Skip, *OverWrite, *Rename;
    QLineEdit* RenameEdit;
    QCheckBox* DontshowthisDialog;
    QPushButton *Doit, *Cancel;
};

} // namespace lumidex
