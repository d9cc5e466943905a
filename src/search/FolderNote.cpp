#include "FolderNote.h"

#include "AtomicFile.h"
#include "ClipboardLists.h"
#include "Paths.h"
#include "QtText.h"

#include <QFile>

namespace lumidex {

namespace {
std::string NotePath(const std::string& folder) {
    return paths::Join(folder, kFolderNoteName);
}
} // namespace

std::optional<std::vector<std::string>> ParseFolderNote(std::string_view bytes) {
    if (bytes.size() > kMaxFolderNoteBytes) return std::nullopt;
    return SplitTextLines(bytes);
}

std::string BuildFolderNote(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out.append(l).append("\r\n");
    return out;
}

NoteRead ReadFolderNote(const std::string& folder, std::vector<std::string>& lines) {
    lines.clear();
    QFile f(PathText(NotePath(folder)));
    if (!f.exists()) return NoteRead::Missing;
    if (!f.open(QIODevice::ReadOnly)) return NoteRead::Failed;
    // Bounded before anything is allocated for it.
    if (f.size() > static_cast<qint64>(kMaxFolderNoteBytes)) return NoteRead::Failed;
    QByteArray bytes = f.read(static_cast<qint64>(kMaxFolderNoteBytes) + 1);
    if (f.error() != QFileDevice::NoError) return NoteRead::Failed;
    auto parsed =
        ParseFolderNote(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (!parsed) return NoteRead::Failed;
    lines = std::move(*parsed);
    return NoteRead::Ok;
}

bool SaveFolderNote(const std::string& folder, const std::vector<std::string>& lines) {
    const std::string path = NotePath(folder);
    if (lines.empty()) {
        QFile f(PathText(path));
        return !f.exists() || f.remove();
    }
    return WriteFileAtomically(path, BuildFolderNote(lines)) == SaveResult::Ok;
}

bool FolderNoteField::Select(const std::string& folder) {
    if (!Flush()) return false;
    folder_ = folder;
    changed_ = false;
    std::vector<std::string> lines;
    NoteRead r = ReadFolderNote(folder, lines);
    enabled_ = r != NoteRead::Failed;
    text_.clear();
    if (r != NoteRead::Ok) return true;
    for (size_t i = 0; i < lines.size(); ++i)
        text_.append(i ? "\n" : "").append(lines[i]);
    return true;
}

bool FolderNoteField::Deselect() {
    if (!Flush()) return false;
    folder_.clear();
    text_.clear();
    enabled_ = false;
    changed_ = false;
    return true;
}

void FolderNoteField::Edit(std::string text) {
    if (!enabled_) return;
    text_ = std::move(text);
    changed_ = true;
}

bool FolderNoteField::Flush() {
    if (!changed_ || !enabled_ || folder_.empty()) return true;
    if (!SaveFolderNote(folder_, SplitTextLines(text_))) return false;
    changed_ = false;
    return true;
}

} // namespace lumidex
