#pragma once

#include "DataManage.h"
#include "Lists.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumidex {

// The relation radio group: ">=", "==", "<=".
enum class Relation { AtLeast = 0, Equal = 1, AtMost = 2 };
// The combination modes of MethodPanel.
enum class Method { RBNormal, RBOr, RBAnd, RBNot };

using EntryTest = std::function<bool(const Pdata&)>;

// "Name": the text occurs in the whole path, letter case ignored.
EntryTest NameTest(const std::string& text);
// "Folder Name": the entry lies directly in folder, or anywhere below it with subfolders.
EntryTest FolderTest(const std::string& folder, bool subfolders);
// "Memo": the entry carries the memo.
EntryTest MemoTest(int32_t memoNumber);
// "Memo" with "Any of them": the entry carries a memo of the group.
EntryTest MemoGroupTest(const DataManage& memos, int32_t groupId);
// "File Size".
EntryTest SizeTest(Relation relation, int32_t bytes);
// The "File Size" field as a decimal integer; 0 when it is not one (or out of 32 bits).
int32_t SizeFieldValue(const std::string& field);
// "File Date": value in seconds since 1970 UTC; dateOnly compares local days.
EntryTest DateTest(Relation relation, int64_t value, bool dateOnly);
// "Updated Pics": the file on disk changed since it was catalogued.
EntryTest UpdatedTest();

// The start of the local day that t (seconds since 1970 UTC) falls in, in the same seconds.
int64_t LocalDayStart(int64_t t);

// Fills the destination (the target list with SendToTarget, else the reference list) by the
// test and the method; returns the match count.
int ApplyFilter(Lists& lists, Method method, const EntryTest& test);
// The Search button around ApplyFilter; a cancelled dialog passes no test. Returns the count.
int RunSearch(Lists& lists, Method method, const EntryTest& test);
// Choosing "All", "Has Similar Pics", "New Pics" (or a criterion, which only waits for Search).
void ChooseFilter(Lists& lists, FilterItem item, std::vector<Pdata*>& newPictures);
// Refresh (SpeedButton9, "Re&fresh"): byUser when the user pressed it, not another command.
void Refresh(Lists& lists, std::vector<Pdata*>& newPictures, bool byUser);

} // namespace lumidex
