#include "Navigator.h"

#include "DataFilter.h"
#include "Paths.h"

#include <algorithm>
#include <unordered_set>

namespace lumidex {

int JumpTo(Lists& lists, int direction, const std::function<bool(Pdata&)>& test) {
    EntryList& ref = lists.reference;
    const int from = ref.SelectedRow();
    if (from < 0 || direction == 0) return -1;
    const int step = direction < 0 ? -1 : 1;
    for (int r = from + step; r >= 0 && r < ref.Count(); r += step) {
        if (!test(*ref.EntryAt(r))) continue;
        lists.SelectReference(r);
        return r;
    }
    return -1;
}

bool NavigatorPageReady(NavigatorPage page, const NavigatorQuery& q) {
    if (page == NavigatorPage::Name) return !q.name.empty();
    if (page == NavigatorPage::Memo) return q.memo >= 0;
    return true;
}

bool NavigatorJump(Lists& lists, NavigatorPage page, int direction, const NavigatorQuery& q,
                   std::string& status) {
    const int before = lists.reference.SelectedRow();
    if (before < 0 || !NavigatorPageReady(page, q)) return false;
    status.clear();
    Frame& frame = lists.state().frame();
    frame.SetBusy(true);
    switch (page) {
    case NavigatorPage::Normal:
        lists.MoveSelection(lists.reference, direction);
        break;
    case NavigatorPage::HasSimilar:
        JumpTo(lists, direction, [&](Pdata& e) { return lists.HasSimilar(e); });
        break;
    case NavigatorPage::Name: {
        const std::string text = paths::UpperKey(q.name);
        JumpTo(lists, direction,
               [&](Pdata& e) { return paths::UpperKey(e.path).find(text) != std::string::npos; });
        break;
    }
    case NavigatorPage::Memo:
        JumpTo(lists, direction, [&](Pdata& e) { return e.HasMemo(q.memo); });
        break;
    case NavigatorPage::Updated: {
        const EntryTest updated = UpdatedTest();
        JumpTo(lists, direction, [&](Pdata& e) { return updated(e); });
        break;
    }
    case NavigatorPage::NewAdd: {
        std::unordered_set<const Pdata*> added;
        if (q.newPictures) added.insert(q.newPictures->begin(), q.newPictures->end());
        JumpTo(lists, direction, [&](Pdata& e) { return added.count(&e) > 0; });
        break;
    }
    }
    frame.SetBusy(false);
    if (lists.reference.SelectedRow() == before) {
        status = "No match";
        return false;
    }
    return true;
}

bool Bookmarks::Add(Pdata* entry) {
    if (!entry || std::find(entries_.begin(), entries_.end(), entry) != entries_.end())
        return false;
    entries_.push_back(entry);
    return true;
}

std::vector<std::pair<std::string, Pdata*>> Bookmarks::MenuItems(bool showPath) const {
    std::vector<std::pair<std::string, Pdata*>> items;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        items.emplace_back(showPath ? (*it)->path : std::string(paths::FileName((*it)->path)), *it);
    return items;
}

void Bookmarks::Goto(Lists& lists, Pdata* entry) const {
    if (std::find(entries_.begin(), entries_.end(), entry) == entries_.end()) return;
    int row = lists.reference.Find(entry);
    if (row < 0) row = lists.AddRow(lists.reference, entry);
    if (row >= 0) lists.SelectReference(row);
}

void Bookmarks::ListUp(Lists& lists) const {
    lists.ClearTargetList();
    for (Pdata* e : entries_)
        lists.AddRow(lists.target, e);
    if (!lists.target.Empty()) {
        lists.target.Select(0);
        lists.TargetSelectionChanged(false);
    }
    if (lists.hooks.repaint) lists.hooks.repaint();
}

void Bookmarks::Forget(const Pdata* entry) {
    entries_.erase(std::remove(entries_.begin(), entries_.end(), entry), entries_.end());
}

} // namespace lumidex
