#pragma once

#include "DatabaseFile.h"

#include <string>

namespace lumidex {

class History;

// The file commands of the main window, as logic over the open catalogue; questions and file
// choices go through the frame. Each returns true when it did its work.

// Asks to save a changed catalogue, clears everything and reads a database (the pending path
// or a file the user chooses).
bool OpenDatabase(Database& db);
// Open Database on a path chosen from the file history, which then moves to the front.
bool OpenFromHistory(Database& db, History& history, std::string path);
bool SaveDatabase(Database& db);
// presetPath: what the save dialog proposes.
bool SaveDatabaseAs(Database& db, const std::string& presetPath = {});
// Merges another database into the open one (the pending path or a chosen file).
ReadResult ImportDatabase(Database& db);
// Everything "Clear All Data Entries" empties, without asking.
void ClearAllData(Database& db);

// The default options: "default.ld2" (else "default.ldb") in AppDir, a header alone.
void LoadDefaultOptions(Database& db);
bool SaveDefaultOptions(Database& db);
bool DefaultOptionsExist(const std::string& appDir);

FileChoice DatabaseSaveChoice(const std::string& presetPath);

// "&Export Memo..." and "&Import Memo...": the memo file of a chosen path (or of the given
// path, when not empty).
bool ExportMemo(Database& db, std::string path = {});
bool ImportMemo(Database& db, std::string path = {});

} // namespace lumidex
