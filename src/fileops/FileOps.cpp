#include "FileOps.h"

#include "Paths.h"

#include <algorithm>

namespace lumidex {

bool SameFileSystem(FileSystem& fs, const std::string& source, const std::string& folder) {
    FileInfo a, b;
    return fs.Stat(source, a) == 0 && fs.Stat(folder, b) == 0 && a.device == b.device;
}

bool Tracking(const Options& options, bool sameFileSystem) {
    return options.TrackMoveCopy && (!options.SameDriveOnly || sameFileSystem);
}

void RekeyEntries(Catalogue& catalogue, const std::vector<std::pair<Pdata*, std::string>>& moves) {
    if (moves.empty()) return;
    std::vector<std::pair<int, size_t>> positions; // catalogue position, index into moves
    positions.reserve(moves.size());
    for (size_t i = 0; i < moves.size(); ++i) {
        int at = PositionOfEntry(catalogue, moves[i].first);
        if (at >= 0) positions.push_back({at, i});
    }
    std::sort(positions.begin(), positions.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::unique_ptr<Pdata>> taken;
    taken.reserve(positions.size());
    for (const auto& [at, i] : positions) {
        taken.push_back(catalogue.Take(at));
        taken.back()->path = moves[i].second;
    }
    std::stable_sort(taken.begin(), taken.end(), [](const auto& a, const auto& b) {
        return paths::CompareUpper(a->path, b->path) < 0;
    });
    for (auto& entry : taken)
        catalogue.Insert(std::move(entry));
}

void InsertEntries(FileOpsParts& parts, std::vector<std::unique_ptr<Pdata>> entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return paths::CompareUpper(a->path, b->path) < 0;
    });
    std::vector<ListRow> rows;
    const bool listed = parts.lists.dataFilter == FilterItem::All;
    for (auto& entry : entries) {
        Pdata* e = entry.get();
        parts.catalogue.Insert(std::move(entry));
        if (listed) rows.push_back(ListRow{parts.lists.SortKeyOf(*e), e, false});
    }
    if (!rows.empty()) parts.lists.reference.AddMany(std::move(rows));
}

} // namespace lumidex
