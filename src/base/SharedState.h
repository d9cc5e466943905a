#pragma once

#include "ErrorHistory.h"
#include "Frame.h"
#include "ReadableExtension.h"

#include <string>
#include <string_view>

namespace lumidex {

// The folder of the program's own files ("app.cfg", "history.cfg", "logfile.txt", ...):
// $LUMIDEX2_HOME when set, else the per-user configuration folder. Created on demand; ends
// with the delimiter.
std::string DefaultAppDir();

// The values that every part of the program reads and writes, and the one report routine.
// The Workspace adds the catalogue and the lists on top of it.
class SharedState {
public:
    SharedState(Frame& frame, std::string appDir);
    virtual ~SharedState() = default;
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;

    Frame& frame() const { return *frame_; }
    void SetFrame(Frame& frame) { frame_ = &frame; }

    // Reports a message: "logfile.txt" while LoggingOn, StatusBar1 panel 0, the error history.
    void LogMessage(const std::string& text);
    bool IsReadableExtension(std::string_view extension) const {
        return lumidex::IsReadableExtension(extension, PicturePatterns.patterns);
    }
    // Folder part of DatabasePath with its delimiter; empty for a new catalogue.
    std::string DatabaseFolder() const;
    // Back to the built-in readers' patterns, announced in StatusBar2.
    void SetNativePicturePatterns();
    // Whether a long operation that lets events run is under way: commands that free entries
    // or replace the catalogue must wait for it (it still holds entries and positions).
    bool OperationRunning() const { return operationsRunning_ > 0; }
    friend class OperationScope;

    // Sets DataChanged and lets the frame show the change mark.
    void MarkDataChanged();
    void MarkOptionsChanged();

    std::string AppDir;
    std::string DatabasePath;
    std::string PendingDatabasePath;
    bool DataChanged = false;
    bool OptionsChanged = false;
    bool OldFormatRead = false;
    bool Merging = false;
    bool StopRequested = false;
    bool LoggingOn = false;
    bool PluginsInUse = false;
    lumidex::ErrorHistory ErrorHistory;
    lumidex::PicturePatterns PicturePatterns = kNativePicturePatterns;

private:
    void AppendToLogFile(const std::string& text);

    Frame* frame_;
    int operationsRunning_ = 0;
};

// Marks a long operation for as long as it lives.
class OperationScope {
public:
    explicit OperationScope(SharedState& state) : state_(state) { ++state_.operationsRunning_; }
    ~OperationScope() { --state_.operationsRunning_; }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    SharedState& state_;
};

} // namespace lumidex
