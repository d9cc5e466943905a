#pragma once

#include "Lists.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lumidex {

// The jumps through the reference list: from the selected row up (direction -1) or down (+1)
// to the first row that passes the test, which becomes the selected row. Returns that row,
// -1 (the selection unchanged) when no row passes or none is selected.
int JumpTo(Lists& lists, int direction, const std::function<bool(Pdata&)>& test);

// The pages of the "Navigator", by position.
enum class NavigatorPage { Normal = 0, HasSimilar, Name, Memo, Updated, NewAdd };
struct NavigatorQuery {
    std::string name;                                 // "Name": upper-cased by the jump
    int memo = -1;                                    // "Memo": the memo number chosen
    const std::vector<Pdata*>* newPictures = nullptr; // "New Add"
};
// A press of Up or Down on a page. Returns false, with "No match" in the navigator's status,
// when the selected row stayed the same; does nothing without a selected row.
bool NavigatorJump(Lists& lists, NavigatorPage page, int direction, const NavigatorQuery& query,
                   std::string& status);
// Whether the page's buttons are enabled.
bool NavigatorPageReady(NavigatorPage page, const NavigatorQuery& query);

// The bookmarks: entries the catalogue owns, no entry twice, in the order set.
class Bookmarks {
public:
    // "&Set Bookmark"; false when the entry was there already.
    bool Add(Pdata* entry);
    bool Empty() const { return entries_.empty(); }
    const std::vector<Pdata*>& Entries() const { return entries_; }
    // The submenu of "&Goto Bookmark": the last bookmark set first, captioned with the whole
    // path or the file name.
    std::vector<std::pair<std::string, Pdata*>> MenuItems(bool showPath) const;
    // Choosing a bookmark: its row becomes the selected reference, added when not listed.
    void Goto(Lists& lists, Pdata* entry) const;
    // "Listup  BookMark": the bookmarks fill the target list.
    void ListUp(Lists& lists) const;
    // The entry is about to be freed, or all are.
    void Forget(const Pdata* entry);
    void Clear() { entries_.clear(); }

private:
    std::vector<Pdata*> entries_;
};

} // namespace lumidex
