#pragma once

#include "Lists.h"
#include "MismatchNum.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumidex {

// "Already in Mismatch" as the command prepares it; the dialog (or a script) picks a row and
// a choice.
enum class MismatchChoice { Cancel, Add, NewGroup, Mix };
struct MismatchQuestion {
    struct Row {
        std::string text; // "5:/pics/a.jpg" or "7:(Reference)"
        uint16_t group;
    };
    std::vector<Row> rows; // TarfetGroupList
    uint16_t referenceGroup = 0;
    bool mixEnabled = false;
    MismatchChoice choice = MismatchChoice::Add; // the prepared choice
    int selectedRow = 0;
};
// "Mix 3 and 7": the caption of "Mix" for the row's group and the reference's.
std::string MixCaption(uint16_t rowGroup, uint16_t referenceGroup);

// "&Make Mismatch": the current reference and the selected targets into one group. ask is not
// called while dontShow ("Don't show this Dialog") is checked: the prepared choice is taken.
// Does nothing without a reference row and a selected target; when the allocator is full
// nothing changes. Returns whether any group number changed.
using MismatchAsk = std::function<MismatchChoice(MismatchQuestion&)>;
bool MakeMismatch(Lists& lists, MismatchNum& numbers, const MismatchAsk& ask, bool dontShow);
// The same on entries named directly (the command line), always a new group; false when the
// allocator is full or fewer than two entries are given.
bool MakeMismatchGroup(SharedState& state, MismatchNum& numbers,
                       const std::vector<Pdata*>& entries);

// The rows of the "Mismatch Editor": every entry in a group, ordered by "%05d,path" with
// letter case ignored, so that members of a group stand together.
class MismatchEditorRows {
public:
    struct Row {
        uint16_t group;
        Pdata* entry;
    };
    void Build(const Catalogue& catalogue);
    const std::vector<Row>& Rows() const { return rows_; }
    int Count() const { return static_cast<int>(rows_.size()); }
    // "%05d,path"
    static std::string RowText(const Row& row);
    // "Group 00001"
    static std::string GroupLabel(uint16_t group);
    // Whether the next row belongs to another group (the row draws the dividing line).
    bool EndsGroup(int row) const;

    // "Remove": the rows (any order) leave their groups; a number no other entry carries is
    // released. Returns how many rows were removed (the caller marks the data changed).
    int Remove(std::vector<int> rows, const Catalogue& catalogue, MismatchNum& numbers);
    // "Remove Single Group": every group of one row is dissolved (numbers stay marked).
    int RemoveSingleGroups();
    // The search box: from the row after (or before) from, the first whose lower-cased path
    // holds the lower-cased text; -1 when none does.
    int Search(int from, const std::string& text, bool forward) const;

    // The entry is about to be freed, or all are.
    void Forget(const Pdata* entry);
    void Clear() { rows_.clear(); }

private:
    std::vector<Row> rows_;
};

} // namespace lumidex
