#pragma once

#include <QDialog>
#include <QImage>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QScrollArea;

namespace lumidex {

class PictureArea;

// Which list a viewer steps through.
enum class ViewerBinding { Unbound, Reference, Target };

struct ViewerOptions {
    bool stretch = true;
    bool fixedSize = false;
    bool fixedPosition = false;
};

// The full-size picture window: one class for every full-size display. A bound viewer steps
// through its list and offers its file commands; an unbound one leads back to its entry.
class TViewLeft : public QDialog {
    Q_OBJECT
public:
    explicit TViewLeft(QWidget* parent = nullptr, ViewerBinding binding = ViewerBinding::Unbound);

    ViewerBinding binding() const { return binding_; }
    // Options are read at every showing and layout.
    void SetOptionsSource(std::function<ViewerOptions()> source) { options_ = std::move(source); }
    // The screen the window is laid out on (the main window's); the viewer's own otherwise.
    void SetScreenSource(std::function<QRect()> source) { screen_ = std::move(source); }
    // Whether the bound list has a row after / before the selected one.
    void SetStepState(std::function<std::pair<bool, bool>()> state) {
        stepState_ = std::move(state);
    }
    // The folder last chosen and the destinations of the folder dialog.
    void SetDestinations(std::function<std::pair<std::string, std::vector<std::string>>()> f) {
        destinations_ = std::move(f);
    }
    // File commands of PopupMenu1 ("Copy1", "Move1", "Delete1", "CopyReferenceto1",
    // "MoveReferenceto1", and "CopyReferenceto2" / "MoveReferenceto2" with the destination).
    // Until bound they stay disabled.
    using FileCommand = std::function<void(const std::string& destination)>;
    void BindFileCommand(const std::string& item, FileCommand run,
                         std::function<bool()> enabled = {});
    // The free viewer's path ("Goto Data" looks it up).
    void SetPath(const std::string& path) { path_ = path; }
    const std::string& path() const { return path_; }

    void ShowPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    // Lays the window out again for the current picture.
    void LayOut();
    QMenu* PopupMenu1() const { return popup1_; }
    QMenu* PopupMenu2() const { return popup2_; }
    QAction* MenuItem(const std::string& name) const;
    QRect PanelGeometry() const;
    // Runs the enabling of the menu the viewer shows.
    void PrepareMenu();

signals:
    void nextRequested();
    void previousRequested();
    void gotoDataRequested(const std::string& path);
    // A key the main window handles.
    void keyForwarded(int key, Qt::KeyboardModifiers modifiers, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void Step(bool next);
    void RunFileCommand(const std::string& item, const std::string& destination);
    void RebuildDestinations(QMenu* menu, const std::string& item,
                             const std::vector<std::string>& folders);

    ViewerBinding binding_;
    std::function<ViewerOptions()> options_;
    std::function<QRect()> screen_;
    std::function<std::pair<bool, bool>()> stepState_;
    std::function<std::pair<std::string, std::vector<std::string>>()> destinations_;
    struct Bound {
        FileCommand run;
        std::function<bool()> enabled;
    };
    std::map<std::string, Bound> fileCommands_;
    std::map<std::string, QAction*> items_;
    std::string path_;
    QImage picture_;
    QScrollArea* scroll_ = nullptr;
    QWidget* panel_ = nullptr;
    PictureArea* image_ = nullptr;
    QMenu* popup1_ = nullptr;
    QMenu* popup2_ = nullptr;
    int wheelRest_ = 0;
    bool layingOut_ = false;
};

} // namespace lumidex
