// The clipboard list reader on hostile text: an import and a search over what it names, then
// the copied list must name the same entries when read back.
#include "ClipboardLists.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumidex;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    NullFrame frame;
    SharedState state(frame, "/nonexistent/");
    Catalogue catalogue;
    Options options;
    StatCache stat;
    Lists lists(state, catalogue, options, stat);
    ImportListFromText(lists, text);
    const int imported = lists.reference.Count();
    if (imported != catalogue.Count()) std::abort();
    const std::string copied = CopyListText(lists);
    SearchListFromText(lists, copied);
    // Paths with a line break cannot travel in a list line; the others must.
    bool plain = true;
    for (int i = 0; i < catalogue.Count(); ++i)
        if (catalogue.Entry(i).path.find_first_of("\r\n") != std::string::npos) plain = false;
    if (plain && lists.reference.Count() != imported) std::abort();
    return 0;
}
