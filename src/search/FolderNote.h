#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumidex {

// A folder's note: the text file "index .txt" inside it, lines ended by CR LF.
inline constexpr const char* kFolderNoteName = "index .txt";
// A note is a few lines; anything larger is not a note this program wrote.
inline constexpr size_t kMaxFolderNoteBytes = 1u << 20;

// The lines of a note's bytes (CR LF, CR or LF end a line); nullopt when it is too large.
std::optional<std::vector<std::string>> ParseFolderNote(std::string_view bytes);
std::string BuildFolderNote(const std::vector<std::string>& lines);

enum class NoteRead { Ok, Missing, Failed };
NoteRead ReadFolderNote(const std::string& folder, std::vector<std::string>& lines);
// Writes the note atomically; an empty note deletes the file. False when that failed.
bool SaveFolderNote(const std::string& folder, const std::vector<std::string>& lines);

// The explorer's note field: bound to the selected folder, saved before the selection moves
// and whenever the caller flushes it (before a rebuild, a clear, an open, at shutdown).
class FolderNoteField {
public:
    // A node became selected: the pending note is saved, the folder's note loaded. A note
    // that cannot be read leaves the field disabled for that folder. False, the field still
    // on the old folder, when the pending note could not be saved.
    bool Select(const std::string& folder);
    bool Deselect();
    void Edit(std::string text);
    // Saves a changed note; false when writing failed (the text stays, still changed).
    bool Flush();
    bool enabled() const { return enabled_; }
    bool changed() const { return changed_; }
    const std::string& text() const { return text_; }
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    std::string text_;
    bool enabled_ = false;
    bool changed_ = false;
};

} // namespace lumidex
