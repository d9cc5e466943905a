#pragma once

#include "Catalogue.h"
#include "DataManage.h"
#include "FolderList.h"
#include "MismatchNum.h"
#include "Options.h"
#include "SharedState.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lumidex {

inline constexpr size_t kHeaderSize = 128;
inline constexpr int kWrittenVersion = 8;
inline constexpr int32_t kMaxPathLength = 1023;
using HeaderBytes = std::array<uint8_t, kHeaderSize>;

inline constexpr const char* kBrokenFileMessage = "File read error:File is broken.SCANDISK NOW!!";
inline constexpr const char* kNotDatabaseMessage =
    "File format error:This file is not Lumidex database.";

// The header in memory and what the last header read said.
struct HeaderState {
    HeaderBytes HeaderBuffer{};
    int version = 0;
    int32_t entryCount = 0;
    int32_t savedSelection = -1;
    bool reading = false; // a ReadDatabase is running
};

// Where the database code reaches parts that live above it (the lists and the windows).
// Every hook may stay empty.
struct DatabaseHooks {
    // Fixes the sort key from the sort options.
    std::function<void()> SelectSortKey;
    // Catalogue index of the current reference entry, -1 when there is none.
    std::function<int()> CurrentReferenceIndex;
    // Takes an entry out of the reference and target lists before it is destroyed.
    std::function<void(Pdata&)> RemoveFromLists;
    // The memo table changed under the memo manager.
    std::function<void()> MemosChanged;
    // UseJapneseMenu was taken from a header.
    std::function<void(bool japanese)> MenuLanguage;
    // After a read: data filter "All", full list rebuild, selection of the saved index (when
    // not merging and not -1), folder explorer, destination folders, buttons.
    std::function<void(int32_t savedSelection)> AfterRead;
    // Empties the lists, previews, folder explorer and thumbnails before the catalogue is
    // cleared.
    std::function<void()> ClearLists;
    // Rebuilds the title (markChanged = 1 first sets DataChanged) and records the path in the
    // file history. Without it the frame is told that the change flags changed.
    std::function<void(int markChanged)> UpdateTitle;
};

// The pieces of the open catalogue that the database file reads and writes.
struct Database {
    SharedState& state;
    Catalogue& catalogue;
    DataManage& memos;
    MismatchNum& mismatch;
    Options& options;
    FolderList& folders;
    HeaderState& header;
    DatabaseHooks& hooks;
};

// The header codec on its own: the option bytes, count and selection of a header.
void EncodeHeader(const Options& options, int32_t entryCount, int32_t selection, HeaderBytes& out);
// Takes the option bytes of a version's header into options, as the controls react.
void DecodeHeaderOptions(const HeaderBytes& header, int version, Options& options);
// The version a header states (its sixth byte minus '0').
inline int HeaderVersion(const HeaderBytes& h) {
    return static_cast<int>(h[5]) - '0';
}

// Fills header from the catalogue and the options, then fixes the sort key.
void BuildHeader(Database& db, HeaderBytes& header);
inline void BuildHeader(Database& db) {
    BuildHeader(db, db.header.HeaderBuffer);
}
// Takes version, count, selection and (unless merging) the options from a file image's first
// 128 bytes. Returns false, changing nothing, when the image does not start with "LDB".
bool ApplyHeader(Database& db, std::string_view bytes);

// The file image of the catalogue: HeaderBuffer, the memo table, the entries. Entries whose
// path cannot be stored are left out, reported through LogMessage and counted in leftOut.
std::string EncodeDatabase(Database& db, int* leftOut = nullptr);
// Writes HeaderBuffer, the memo table and every entry; true when everything was written.
bool WriteDatabase(Database& db, const std::string& path);

enum class ReadResult { Done, Cancelled, CantOpen, NotDatabase, Broken, Stopped };
// Reads PendingDatabasePath (or a file the user chooses) into the catalogue.
ReadResult ReadDatabase(Database& db);
// Steps of the read that work on a file image already in memory (after the file was read).
ReadResult ParseDatabase(Database& db, std::string_view image);

// The open dialog of the database commands.
FileChoice DatabaseOpenChoice();

} // namespace lumidex
