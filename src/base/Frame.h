#pragma once

#include <string>
#include <vector>

class QImage;

namespace lumidex {

// The panels that carry texts: StatusBar1 panel 0 (progress and errors), StatusBar1 panel 1
// (counts) and StatusBar2 panel 0 (the outcome of a command).
enum class StatusPanel { Progress, Counts, Outcome };

enum class Answer { Yes, No, Cancel, Ok };

// A question the logic asks the user; the frame answers it (a message box, a script in tests).
struct Question {
    std::string caption; // "Confirm", "Serious Error", "Warning" or a database name
    std::string text;
    std::vector<Answer> buttons{Answer::Ok};
};

// A request for a file name (open or save dialog); an empty result means cancelled.
struct FileChoice {
    bool forSaving = false;
    std::string title;
    std::string filter;           // e.g. "Lumidex2 Database (*.ld2)|*.ld2"
    std::string defaultExtension; // without the dot
    std::string initialPath;
};

// The port through which logic reaches the user: the main window in the program, standard
// error in the command line tool, a recorder in tests. Logic never opens a window itself.
class Frame {
public:
    virtual ~Frame() = default;

    virtual void SetStatusText(StatusPanel panel, const std::string& text) = 0;
    // A message given to LogMessage: shown in StatusBar1 panel 0, and errorHint (the filled
    // error-history slots joined by line feeds) becomes the hint of the Crystal control.
    virtual void ShowLogged(const std::string& text, const std::string& errorHint) = 0;

    // The progress window.
    virtual void ShowProgress() = 0;
    virtual void CloseProgress() = 0;
    virtual void SetProgressCaption(const std::string& text) = 0;
    virtual void SetProgressPicture(const QImage& picture) = 0;
    // False when SetProgressPicture shows nothing: the pictures need not be prepared.
    virtual bool ShowsPictures() const { return true; }
    virtual void SetPictureBarMax(int max) = 0;
    virtual void SetPictureBarPosition(int position) = 0;
    virtual void StepPictureBar() = 0;
    virtual void SetFilesBarMax(int max) = 0;
    virtual void SetFilesBarPosition(int position) = 0;
    virtual void StepFilesBar() = 0;

    // The abort request of the progress window: set by its Abort button, cleared when the
    // window is shown and when the operation it stopped ends.
    virtual bool AbortRequested() const = 0;
    virtual void SetAbortRequested(bool on) = 0;

    virtual void SetBusy(bool busy) = 0;
    virtual Answer Ask(const Question& question) = 0;
    virtual std::string ChooseFile(const FileChoice& choice) = 0;
    // Whether ChooseFile can show a dialog at all (a frame without one saves to a fixed place).
    virtual bool CanChooseFiles() const { return true; }

    // Lets pending events run, so that a long loop keeps the window alive.
    virtual void ProcessEvents() = 0;

    // A change flag was set or cleared: the title's change marks follow.
    virtual void ChangeFlagsChanged() {}

    // The main window's own progress bar (reading and writing the database).
    virtual void ShowMainProgress(int /*maximum*/) {}
    virtual void SetMainProgressPosition(int /*position*/) {}
    virtual void HideMainProgress() {}
    // A passing window title ("Reading <name>"); the next title update replaces it.
    virtual void ShowTitle(const std::string& /*title*/) {}
};

// A frame that shows nothing and answers every question with its first button.
class NullFrame : public Frame {
public:
    void SetStatusText(StatusPanel, const std::string&) override {}
    void ShowLogged(const std::string&, const std::string&) override {}
    void ShowProgress() override { abort_ = false; }
    void CloseProgress() override {}
    void SetProgressCaption(const std::string&) override {}
    void SetProgressPicture(const QImage&) override {}
    bool ShowsPictures() const override { return false; }
    void SetPictureBarMax(int) override {}
    void SetPictureBarPosition(int) override {}
    void StepPictureBar() override {}
    void SetFilesBarMax(int) override {}
    void SetFilesBarPosition(int) override {}
    void StepFilesBar() override {}
    bool AbortRequested() const override { return abort_; }
    void SetAbortRequested(bool on) override { abort_ = on; }
    void SetBusy(bool) override {}
    Answer Ask(const Question& q) override {
        return q.buttons.empty() ? Answer::Ok : q.buttons.front();
    }
    std::string ChooseFile(const FileChoice&) override { return {}; }
    void ProcessEvents() override {}

private:
    bool abort_ = false;
};

} // namespace lumidex
