#pragma once

#include "Options.h"

#include <QDialog>

#include <functional>
#include <map>
#include <string>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace lumidex {

// The options window. Its controls show the Options struct and write every change back into
// it, raising the struct's change flags; the program changes the struct and calls
// ShowOptions so that the controls and their dependent enabling follow.
class TOption : public QDialog {
    Q_OBJECT
public:
    explicit TOption(QWidget* parent = nullptr);

    // The live options; the window reads and writes them from now on.
    void Bind(Options& options);
    // Where "default.ld2" is looked for, to enable "Load Default".
    void SetDefaultFileProbe(std::function<bool()> exists);

    // Controls follow the struct (after a header was applied or the options were reset).
    void ShowOptions();
    // Clears OptionsDialogChanged and enables Load Default when its file exists; every showing.
    void PrepareShowing();

    QTabWidget* tabs() const { return tabs_; }

signals:
    void sortChanged(int order);       // a sort radio button was clicked
    void showPathNameClicked();        // both list views repaint
    void japaneseMenuClicked(bool on); // the menu language switches
    void setDefaultClicked();
    void loadDefaultClicked();
    void hintShown(const QString& longHint);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    QCheckBox* Check(const char* name, const char* caption, const char* hint);
    QRadioButton* Radio(const char* name, const char* caption, const char* hint);
    QSlider* Slider(const char* name, int min, int max, const char* hint);
    // Runs change, raises the change flags it calls for, and refreshes the controls.
    void Change(const std::function<void(Options&)>& change);
    void UpdateDependents();
    void BuildMainTab();
    void BuildFindTab();
    void BuildFileTab();
    void BuildDatabaseTab();
    void BuildFullsizeTab();
    void BuildMemoTab();
    void BuildJpegTab();
    void BuildPngTab();

    Options fallback_;
    Options* options_ = &fallback_;
    std::function<bool()> defaultExists_;
    bool showing_ = false; // controls are being set from the struct
    QTabWidget* tabs_;
    std::map<std::string, QWidget*> controls_;
    QLabel* labelInterval_ = nullptr;
    QLabel* labelQual_ = nullptr;
    QPushButton* loadDefault_ = nullptr;
};

} // namespace lumidex
