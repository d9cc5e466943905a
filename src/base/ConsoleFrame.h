#pragma once

#include "Frame.h"

#include <atomic>
#include <cstdio>

namespace lumidex {

// Frame of the command line tool: messages go to standard error; a progress line is drawn
// only when standard error is a terminal. Questions take their first button (no prompt: the
// tool runs unattended). The abort request can be set from a signal handler.
class ConsoleFrame : public Frame {
public:
    explicit ConsoleFrame(std::FILE* out = stderr);
    ~ConsoleFrame() override;

    void SetStatusText(StatusPanel panel, const std::string& text) override;
    void ShowLogged(const std::string& text, const std::string& errorHint) override;
    void ShowProgress() override;
    void CloseProgress() override;
    void SetProgressCaption(const std::string& text) override;
    void SetProgressPicture(const QImage&) override {}
    bool ShowsPictures() const override { return false; }
    void SetPictureBarMax(int) override {}
    void SetPictureBarPosition(int) override {}
    void StepPictureBar() override {}
    void SetFilesBarMax(int max) override;
    void SetFilesBarPosition(int position) override;
    void StepFilesBar() override;
    bool AbortRequested() const override;
    void SetAbortRequested(bool on) override;
    void SetBusy(bool) override {}
    Answer Ask(const Question& question) override;
    std::string ChooseFile(const FileChoice&) override { return {}; }
    void ProcessEvents() override {}

    // Makes Ctrl-C set the abort request of every console frame instead of ending the
    // process (a second Ctrl-C ends it).
    static void InstallInterruptHandler();
    // Whether StatusPanel::Progress texts that are not errors are printed as lines.
    void SetVerbose(bool on) { verbose_ = on; }
    // Prints a text of the tool itself on its own line, after clearing the progress line.
    void PrintLine(const std::string& text);

private:
    void DrawProgressLine();
    void ClearProgressLine();

    std::FILE* out_;
    bool terminal_;
    bool verbose_ = false;
    bool progressShown_ = false;
    bool lineDrawn_ = false;
    int filesMax_ = 16;
    int filesPosition_ = 0;
    std::string caption_;
};

// A console frame for commands whose standard output is their result: it prints what the
// program reports through LogMessage, but no status texts.
class QuietConsoleFrame : public ConsoleFrame {
public:
    void SetStatusText(StatusPanel, const std::string&) override {}
};

} // namespace lumidex
