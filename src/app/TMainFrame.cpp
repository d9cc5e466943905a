// The main window as the Frame through which the logic reaches the user.
#include "TMain.h"

#include "DatabaseCommands.h"
#include "EntryListModel.h"
#include "FileStatus.h"
#include "SmallWindows.h"
#include "LumidexServer.h"
#include "MenuCaptions.h"
#include "Paths.h"
#include "QtText.h"
#include "SearchDialogs.h"
#include "StartUp.h"
#include "TOption.h"
#include "TProgress.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace lumidex {

namespace {
QElapsedTimer eventsRan; // when ProcessEvents last let events run
} // namespace

TProgress* TMain::Progress() {
    if (!progress_) progress_ = new TProgress(this);
    return progress_;
}

void TMain::SetStatusText(StatusPanel panel, const std::string& text) {
    QLabel* label = panel == StatusPanel::Progress ? status1Panel0_
                    : panel == StatusPanel::Counts ? status1Panel1_
                                                   : status2Panel0_;
    ShowPanelText(label, text);
}

// A panel is one line: the line feed that ends a date text is kept in the text but not drawn.
void TMain::ShowPanelText(QLabel* label, const std::string& text) {
    label->setProperty("panelText", PathText(text));
    label->setText(PathText(text).remove(QLatin1Char('\n')));
}

std::string TMain::PanelText(StatusPanel panel) const {
    QLabel* label = panel == StatusPanel::Progress ? status1Panel0_
                    : panel == StatusPanel::Counts ? status1Panel1_
                                                   : status2Panel0_;
    return S(label->property("panelText").toString());
}

void TMain::ShowLogged(const std::string& text, const std::string& errorHint) {
    ShowPanelText(status1Panel0_, text);
    crystal_->setToolTip(PathText(errorHint));
}

QString TMain::CrystalHint() const {
    return crystal_->toolTip();
}

void TMain::ShowProgress() {
    eventsRan.invalidate(); // the first pause of an operation lets events run
    Progress()->ShowProgress();
}

void TMain::CloseProgress() {
    if (progress_) progress_->hide();
}

void TMain::SetProgressCaption(const std::string& text) {
    Progress()->setWindowTitle(PathText(text));
}

void TMain::SetProgressPicture(const QImage& picture) {
    Progress()->SetPicture(picture);
}

void TMain::SetPictureBarMax(int max) {
    Progress()->ProgressBar1()->setMaximum(max);
}

void TMain::SetPictureBarPosition(int position) {
    Progress()->ProgressBar1()->setValue(position);
}

void TMain::StepPictureBar() {
    Progress()->StepPictureBar();
}

void TMain::SetFilesBarMax(int max) {
    Progress()->ProgressBar2()->setMaximum(max);
}

void TMain::SetFilesBarPosition(int position) {
    Progress()->ProgressBar2()->setValue(position);
}

void TMain::StepFilesBar() {
    Progress()->StepFilesBar();
}

bool TMain::AbortRequested() const {
    return progress_ && progress_->AbortRequested();
}

void TMain::SetAbortRequested(bool on) {
    Progress()->SetAbortRequested(on);
}

void TMain::SetBusy(bool busy) {
    if (busy) {
        if (busy_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busy_ > 0) {
        if (--busy_ == 0) QApplication::restoreOverrideCursor();
    }
}

Answer TMain::Ask(const Question& question) {
    if (script_) return script_->Ask(question);
    QMessageBox box(this);
    box.setWindowTitle(PathText(question.caption));
    box.setText(PathText(question.text));
    const bool warning = question.caption == "Warning" || question.caption == "Bad Folder";
    box.setIcon(question.caption == "Serious Error" ? QMessageBox::Critical
                : warning                           ? QMessageBox::Warning
                                                    : QMessageBox::Question);
    std::map<QAbstractButton*, Answer> answers;
    for (Answer a : question.buttons) {
        QMessageBox::StandardButton b = a == Answer::Yes      ? QMessageBox::Yes
                                        : a == Answer::No     ? QMessageBox::No
                                        : a == Answer::Cancel ? QMessageBox::Cancel
                                                              : QMessageBox::Ok;
        answers[box.addButton(b)] = a;
    }
    box.exec();
    auto it = answers.find(box.clickedButton());
    if (it != answers.end()) return it->second;
    // Closing the box counts as its last button (Cancel or No).
    return question.buttons.empty() ? Answer::Ok : question.buttons.back();
}

std::string TMain::ChooseFile(const FileChoice& choice) {
    if (script_) return script_->ChooseFile(choice);
    QFileDialog dialog(this, PathText(choice.title));
    dialog.setAcceptMode(choice.forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(choice.forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(Q(DialogNameFilter(choice.filter)));
    dialog.setDefaultSuffix(Q(choice.defaultExtension));
    // The folder of the proposed name, else that of the most recent database.
    std::string folder(paths::FolderPart(choice.initialPath));
    if (folder.empty() && !ws_->history.Paths().empty())
        folder = std::string(paths::FolderPart(ws_->history.Paths().front()));
    if (!folder.empty()) dialog.setDirectory(PathText(folder));
    QString name = PathText(std::string(paths::FileName(choice.initialPath)));
    if (!name.isEmpty() && !name.contains('*')) dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    std::string chosen = PathBytes(dialog.selectedFiles().front());
    (choice.forSaving ? settings_.saveDialogFolder : settings_.openDialogFolder) =
        std::string(paths::FolderPart(chosen));
    return chosen;
}

void TMain::ProcessEvents() {
    // Analysis calls this many times a picture. While the progress window is shown, events
    // run at most every 10 ms: sooner than a screen refreshes, so Abort is answered at once,
    // yet repaints stop slowing the adding.
    if (progress_ && progress_->isVisible() && eventsRan.isValid() && eventsRan.elapsed() < 10)
        return;
    eventsRan.start();
    QCoreApplication::processEvents();
}

void TMain::ShowMainProgress(int maximum) {
    progressBar1_->setRange(0, std::max(maximum, 0));
    progressBar1_->setValue(0);
    status2Stack_->setCurrentWidget(progressBar1_);
}

void TMain::SetMainProgressPosition(int position) {
    progressBar1_->setValue(position);
}

void TMain::HideMainProgress() {
    status2Stack_->setCurrentWidget(status2Panel0_);
}

void TMain::ShowTitle(const std::string& title) {
    setWindowTitle(PathText(title));
}

} // namespace lumidex
