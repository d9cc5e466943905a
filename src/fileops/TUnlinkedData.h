#pragma once

#include "FileOps.h"

#include <QWidget>

#include <vector>

class QListWidget;
class QProgressBar;
class QPushButton;

namespace lumidex {

// "Unlinked Data": the entries whose files are missing, to be dropped. The window holds
// entries of the catalogue: the owner of the Workspace passes on every removal
// (EntriesRemoved) and the emptying of the catalogue (CatalogueCleared).
class TUnlinkedData : public QWidget {
    Q_OBJECT
public:
    TUnlinkedData(FileOpsParts parts, QWidget* parent = nullptr);

    // "Search &Unlinked Data...": shows the window and fills it.
    void Search();
    void EntriesRemoved(const std::vector<Pdata*>& entries);
    void CatalogueCleared();

    QListWidget* ListBox2;
    QPushButton *CloseButton, *Clear, *ClearAll;
    QProgressBar* ProgressBar1;

signals:
    // The catalogue changed (title, lists to repaint).
    void catalogueChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ClearClick();
    void ClearAllClick();
    void DoubleClicked();
    Pdata* EntryOf(int row) const;
    FileOpsParts parts_;
    bool removing_ = false;
};

} // namespace lumidex
