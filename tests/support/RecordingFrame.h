#pragma once

#include "Frame.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lumidex::test {

// A frame for tests: remembers what was shown and answers questions from a script.
class RecordingFrame : public Frame {
public:
    void SetStatusText(StatusPanel panel, const std::string& text) override;
    void ShowLogged(const std::string& text, const std::string& errorHint) override;
    void ShowProgress() override;
    void CloseProgress() override { progressVisible = false; }
    void SetProgressCaption(const std::string& text) override { captions.push_back(text); }
    void SetProgressPicture(const QImage&) override { ++picturesShown; }
    void SetPictureBarMax(int max) override { pictureBarMax = max; }
    void SetPictureBarPosition(int position) override { pictureBarPosition = position; }
    void StepPictureBar() override;
    void SetFilesBarMax(int max) override { filesBarMax = max; }
    void SetFilesBarPosition(int position) override { filesBarPosition = position; }
    void StepFilesBar() override { ++filesBarPosition; }
    bool AbortRequested() const override { return abort; }
    void SetAbortRequested(bool on) override { abort = on; }
    void SetBusy(bool on) override { busy = on; }
    Answer Ask(const Question& question) override;
    std::string ChooseFile(const FileChoice& choice) override;
    void ProcessEvents() override;
    void ChangeFlagsChanged() override { ++changeFlagCalls; }
    void ShowMainProgress(int maximum) override {
        mainProgressMax = maximum;
        mainProgressPosition = 0;
        mainProgressVisible = true;
    }
    void SetMainProgressPosition(int position) override { mainProgressPosition = position; }
    void HideMainProgress() override { mainProgressVisible = false; }
    void ShowTitle(const std::string& title) override { titles.push_back(title); }

    // Last text of each panel, and every text in the order shown.
    std::map<StatusPanel, std::string> status;
    std::vector<std::pair<StatusPanel, std::string>> statusHistory;
    std::vector<std::string> logged;
    std::string errorHint;
    std::vector<std::string> captions;
    std::vector<Question> questions;
    std::vector<FileChoice> fileChoices;
    std::deque<Answer> answers;          // taken in order; Ok/first button when empty
    std::deque<std::string> chosenFiles; // taken in order; "" (cancelled) when empty

    bool progressVisible = false;
    bool abort = false;
    bool busy = false;
    int pictureBarMax = 0;
    int pictureBarPosition = 0;
    int pictureBarSteps = 0;
    int filesBarMax = 16;
    int filesBarPosition = 0;
    int picturesShown = 0;
    int processEventsCalls = 0;
    int changeFlagCalls = 0;
    int mainProgressMax = 0;
    int mainProgressPosition = 0;
    bool mainProgressVisible = false;
    std::vector<std::string> titles;

    // Run inside StepPictureBar and ProcessEvents: a test presses Abort or Stop from here.
    std::function<void()> onStepPictureBar;
    std::function<void()> onProcessEvents;
};

} // namespace lumidex::test
