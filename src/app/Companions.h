#pragma once

// The channel between this program and its companion programs ("glimpser", "tinter",
// "joiner"): a shared block of 2048 bytes and local sockets, all named per user. A companion
// runs while its socket accepts connections, so nothing stale is left behind by a crash.

#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lumidex {

inline constexpr int kBlockPathOffset = 1024;
inline constexpr int kBlockPathSize = 1024;

// Where a channel called name lives for this user: inside $XDG_RUNTIME_DIR when it is set,
// else the name followed by "-" and the user id. Used for sockets and for the block's key.
QString PerUserChannelName(const QString& name);

// The path slot of the block: a path that does not fit with its terminating zero is written
// as an empty text; reading stops at the slot's end and ignores a text without its zero.
void WriteBlockPath(char* block, const std::string& path);
std::string ReadBlockPath(const char* block);

struct Companion {
    const char* name;    // "Tinter"
    const char* program; // executable file name, "tinter"
    const char* socket;  // channel that is open while it runs; nullptr when none is checked
    int pidOffset;       // where it stores its process id in the block; 0 when none
};
inline constexpr Companion kGlimpser{"Glimpser", "glimpser", nullptr, 0};
inline constexpr Companion kTinter{"Tinter", "tinter", "Tinter20020123", 4};
inline constexpr Companion kJoiner{"Joiner", "joiner", "Joiner20020224", 8};

// The first executable file named after the companion in folders, or empty.
std::string FindCompanionProgram(const Companion& companion,
                                 const std::vector<std::string>& folders);
bool CompanionRunning(const Companion& companion);
// Starts program with each argument passed as it is (no shell, no quoting).
bool StartCompanion(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& workingFolder);
// The message (wParam, lParam) to a running companion, over its socket.
bool SendCompanionMessage(const Companion& companion, uint32_t wParam, uint32_t lParam);

// Arguments of a start: Tinter gets the current reference; Joiner gets it and the row after.
std::vector<std::string> TinterArguments(const std::string& reference);
std::vector<std::string> JoinerArguments(const std::string& reference, const std::string& next);

// Companion messages that arrive while a long operation lets events run would act on
// entries the operation holds; they wait until it has ended.
class CompanionInbox {
public:
    using Handler = std::function<void(uint32_t wParam, uint32_t lParam)>;
    CompanionInbox(std::function<bool()> busy, Handler handler)
        : busy_(std::move(busy)), handler_(std::move(handler)) {}
    void Deliver(uint32_t wParam, uint32_t lParam);
    // Hands over what waited, once nothing runs any more.
    void Flush();
    size_t Waiting() const { return waiting_.size(); }

private:
    std::function<bool()> busy_;
    Handler handler_;
    std::deque<std::pair<uint32_t, uint32_t>> waiting_;
};

} // namespace lumidex
