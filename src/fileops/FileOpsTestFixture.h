#pragma once

#include "FaultyFileSystem.h"
#include "FileOps.h"
#include "ListsTestFixture.h"
#include "TempDir.h"

#include <cstdlib>
#include <deque>
#include <fstream>
#include <string>

namespace lumidex::test {

// Real files in a temporary folder, a trash of its own (XDG_DATA_HOME) and the catalogue
// and lists over them, with the disk reached through a port that can fail on demand.
struct FileOpsFixture : Fixture {
    TempDir dir;
    TempDir home;
    FaultyFileSystem fs;
    lumidex::FolderList folders;
    FileOpsParts parts{state, catalogue, lists, options, folders, fs};

    FileOpsFixture() {
        ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
        ::setenv("LUMIDEX2_HOME", home.path().c_str(), 1);
    }
    // Writes a file and catalogues it.
    Pdata* AddFile(const std::string& name, const std::string& bytes, uint32_t key = 1) {
        return Add(dir.Write(name, bytes), key);
    }
    std::string Read(const std::string& name) const { return ReadWholeFile(dir.File(name)); }
    bool Exists(const std::string& name) const { return std::ifstream(dir.File(name)).good(); }
    std::string TrashFolder() const { return home.File("Trash/files/"); }
    bool InCatalogue(const std::string& path) const { return catalogue.FindEntry(path) >= 0; }
    void ListAll() {
        lists.listAllMode = true;
        lists.dataFilter = FilterItem::All;
        lists.UpdateReferenceList();
    }
};

// Answers collision queries from a script and remembers what it was shown.
struct ScriptedAsker : CollisionAsker {
    std::deque<CollisionReply> replies;
    std::vector<CollisionQuery> shown;
    CollisionReply Ask(const CollisionQuery& q) override {
        shown.push_back(q);
        if (replies.empty()) {
            CollisionReply cancel;
            cancel.cancelled = true;
            return cancel;
        }
        CollisionReply r = replies.front();
        replies.pop_front();
        return r;
    }
};

struct ScriptedRename : RenameAsker {
    std::deque<std::string> names; // "" cancels
    std::vector<std::string> messages;
    bool AskNewName(std::string& name, const std::string&, const std::string& message) override {
        messages.push_back(message);
        if (names.empty() || names.front().empty()) return false;
        name = names.front();
        names.pop_front();
        return true;
    }
};

} // namespace lumidex::test
