#include "ConsoleFrame.h"

#include <csignal>
#include <unistd.h>

namespace lumidex {

namespace {
std::atomic<int> g_interrupts{0};

void OnInterrupt(int) {
    if (g_interrupts.fetch_add(1) >= 1) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}
} // namespace

ConsoleFrame::ConsoleFrame(std::FILE* out) : out_(out), terminal_(isatty(fileno(out)) != 0) {}

ConsoleFrame::~ConsoleFrame() {
    ClearProgressLine();
}

void ConsoleFrame::InstallInterruptHandler() {
    std::signal(SIGINT, OnInterrupt);
}

void ConsoleFrame::PrintLine(const std::string& text) {
    ClearProgressLine();
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
    DrawProgressLine();
}

void ConsoleFrame::SetStatusText(StatusPanel panel, const std::string& text) {
    if (panel == StatusPanel::Outcome || (verbose_ && panel == StatusPanel::Progress))
        PrintLine(text);
}

void ConsoleFrame::ShowLogged(const std::string& text, const std::string&) {
    PrintLine(text);
}

void ConsoleFrame::ShowProgress() {
    progressShown_ = true;
    filesPosition_ = 0;
    SetAbortRequested(false);
}

void ConsoleFrame::CloseProgress() {
    ClearProgressLine();
    progressShown_ = false;
}

void ConsoleFrame::SetProgressCaption(const std::string& text) {
    caption_ = text;
    DrawProgressLine();
}

void ConsoleFrame::SetFilesBarMax(int max) {
    filesMax_ = max;
}
void ConsoleFrame::SetFilesBarPosition(int position) {
    filesPosition_ = position;
}
void ConsoleFrame::StepFilesBar() {
    ++filesPosition_;
}

bool ConsoleFrame::AbortRequested() const {
    return g_interrupts.load() > 0;
}

void ConsoleFrame::SetAbortRequested(bool on) {
    g_interrupts.store(on ? 1 : 0);
}

Answer ConsoleFrame::Ask(const Question& question) {
    PrintLine(question.caption + ": " + question.text);
    return question.buttons.empty() ? Answer::Ok : question.buttons.front();
}

void ConsoleFrame::DrawProgressLine() {
    if (!terminal_ || !progressShown_) return;
    std::string line =
        "[" + std::to_string(filesPosition_) + "/" + std::to_string(filesMax_) + "] " + caption_;
    if (line.size() > 100) line = line.substr(0, 97) + "...";
    std::fprintf(out_, "\r\033[K%s", line.c_str());
    std::fflush(out_);
    lineDrawn_ = true;
}

void ConsoleFrame::ClearProgressLine() {
    if (!lineDrawn_) return;
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
    lineDrawn_ = false;
}

} // namespace lumidex
