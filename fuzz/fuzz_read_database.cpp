// The database reader on hostile bytes: an ordinary read, then the same image merged in, then
// what was read written out; whatever the writer makes must read back without damage.
#include "DatabaseFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {
struct Pieces {
    lumidex::NullFrame frame;
    lumidex::SharedState state{frame, "/nonexistent/"};
    lumidex::Catalogue catalogue;
    lumidex::DataManage memos;
    lumidex::MismatchNum mismatch;
    lumidex::Options options;
    lumidex::FolderList folders;
    lumidex::HeaderState header;
    lumidex::DatabaseHooks hooks;
    lumidex::Database db{state, catalogue, memos, mismatch, options, folders, header, hooks};

    Pieces() {
        // As the workspace does: a removed entry takes its folder items along.
        hooks.RemoveFromLists = [this](lumidex::Pdata& e) {
            std::erase_if(folders, [&e](const auto& item) { return item.second == &e; });
        };
    }
    void CheckFolderItems() const {
        for (const auto& item : folders)
            if (catalogue.PositionOf(item.second) < 0) std::abort();
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view image(reinterpret_cast<const char*>(data), size);
    Pieces a;
    a.options.AllowRobustOperation = false;
    lumidex::ParseDatabase(a.db, image);
    a.CheckFolderItems();
    a.state.Merging = true;
    a.options.GroupBox2 = lumidex::SameFilePolicy::Replace;
    lumidex::ParseDatabase(a.db, image);
    a.state.Merging = false;
    a.CheckFolderItems();

    lumidex::BuildHeader(a.db);
    std::string written = lumidex::EncodeDatabase(a.db);
    Pieces b;
    if (lumidex::ParseDatabase(b.db, written) != lumidex::ReadResult::Done) std::abort();
    return 0;
}
