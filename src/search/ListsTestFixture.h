#pragma once

#include "Lists.h"
#include "RecordingFrame.h"

#include <memory>
#include <string>
#include <vector>

namespace lumidex::test {

// Lists over a catalogue built entry by entry, without picture files.
struct Fixture {
    RecordingFrame frame;
    SharedState state{frame, "/nonexistent/"};
    Catalogue catalogue;
    Options options;
    StatCache stat;
    Lists lists{state, catalogue, options, stat};

    Pdata* Add(const std::string& path, uint32_t key, uint32_t code = 0, int32_t size = 1000) {
        auto e = std::make_unique<Pdata>(path);
        e->key = key;
        e->code = code;
        e->fileSize = size;
        e->fileTime = 1000000;
        Pdata* p = e.get();
        catalogue.Insert(std::move(e));
        return p;
    }
    std::vector<std::string> Paths(const EntryList& list) const {
        std::vector<std::string> out;
        for (const ListRow& r : list.Rows())
            out.push_back(r.entry->path);
        return out;
    }
    void ListUp() {
        lists.listAllMode = false;
        lists.dataFilter = FilterItem::HasSimilarPics;
        lists.UpdateReferenceList();
    }
};

using Strings = std::vector<std::string>;

} // namespace lumidex::test
