#pragma once

#include "DatabaseFile.h"

#include <string>

namespace lumidex {

// The pieces of an open catalogue without a Workspace around them, for tests and benchmarks
// that work on database files alone.
struct StandaloneDatabase {
    StandaloneDatabase(Frame& frame, std::string appDir) : state(frame, std::move(appDir)) {}

    SharedState state;
    Catalogue catalogue;
    DataManage memos;
    MismatchNum mismatch;
    Options options;
    FolderList folders;
    HeaderState header;
    DatabaseHooks hooks;
    Database db{state, catalogue, memos, mismatch, options, folders, header, hooks};
};

} // namespace lumidex
