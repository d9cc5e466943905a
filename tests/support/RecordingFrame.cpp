#include "RecordingFrame.h"

namespace lumidex::test {

void RecordingFrame::SetStatusText(StatusPanel panel, const std::string& text) {
    status[panel] = text;
    statusHistory.emplace_back(panel, text);
}

void RecordingFrame::ShowLogged(const std::string& text, const std::string& hint) {
    status[StatusPanel::Progress] = text;
    statusHistory.emplace_back(StatusPanel::Progress, text);
    logged.push_back(text);
    errorHint = hint;
}

void RecordingFrame::ShowProgress() {
    progressVisible = true;
    pictureBarPosition = 0;
    filesBarPosition = 0;
    abort = false;
}

void RecordingFrame::StepPictureBar() {
    ++pictureBarPosition;
    ++pictureBarSteps;
    if (onStepPictureBar) onStepPictureBar();
}

Answer RecordingFrame::Ask(const Question& question) {
    questions.push_back(question);
    if (answers.empty()) return question.buttons.empty() ? Answer::Ok : question.buttons.front();
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::string RecordingFrame::ChooseFile(const FileChoice& choice) {
    fileChoices.push_back(choice);
    if (chosenFiles.empty()) return {};
    std::string f = chosenFiles.front();
    chosenFiles.pop_front();
    return f;
}

void RecordingFrame::ProcessEvents() {
    ++processEventsCalls;
    if (onProcessEvents) onProcessEvents();
}

} // namespace lumidex::test
