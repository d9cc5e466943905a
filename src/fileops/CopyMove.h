#pragma once

#include "FileOps.h"

#include <optional>
#include <string>
#include <vector>

namespace lumidex {

enum class TransferKind { Copy, Move };

// One file of a copy or move, decided before anything on disk changes.
struct PlannedTransfer {
    enum class Action { Transfer, Replace, Skip };
    Pdata* entry = nullptr;
    std::string source;
    std::string destination;
    Action action = Action::Transfer;
    std::string reason; // why a file is skipped
};

struct TransferPlan {
    TransferKind kind = TransferKind::Copy;
    std::string folder; // the destination folder
    std::vector<PlannedTransfer> items;
    // The command stops before the file after the last item (cancelled query, same folder).
    bool aborted = false;
    bool skipped = false;
};

struct TransferResult {
    int done = 0;
    bool skipped = false;
    bool aborted = false;
    Pdata* firstNewEntry = nullptr; // copies: the first entry made by tracking
    std::vector<Pdata*> moved;      // moves: the entries that now have the new path
    // Paths whose file was written, replaced or vacated: cached pictures of them are stale.
    std::vector<std::string> touched;
};

// How collisions are decided: by the options (Ask through the asker), or, for the command
// line, by a fixed answer that never asks.
struct CollisionRule {
    CollisionAsker* asker = nullptr;
    std::optional<Collision> fixed;
};

// Collision answer that the query preselects for two files.
Collision ProposedAnswer(const CollisionQuery& query);

// Decides every file of a copy or move into folder: the collision query is asked here, in
// order, and "Ok to All" and "Use as Default" take effect. Nothing on disk changes.
TransferPlan PlanTransfer(FileOpsParts& parts, TransferKind kind,
                          const std::vector<Pdata*>& entries, const std::string& folder,
                          const CollisionRule& rule);

// Carries a plan out and lets the catalogue and the lists follow (in one pass for a batch).
// A file that cannot be copied or moved ends the command with "Copy failed:" or
// "Move failed:" and its path; files before it stay done.
TransferResult ApplyTransfer(FileOpsParts& parts, const TransferPlan& plan);

// The plan as text, one line per file: "old -> new" or "old: reason".
std::vector<std::string> DescribePlan(const TransferPlan& plan);

// Copy tracking for a file made from entry's file by other means (a conversion): a new
// entry, or the entry already catalogued for that path takes the signature.
Pdata* TrackCopy(FileOpsParts& parts, Pdata& entry, const std::string& newPath);

// The window's commands over the lists: the selected targets, or the selected reference.
// They return the result; the window shows what it gathers from it.
TransferResult CopySelectedTargets(FileOpsParts& parts, const std::string& folder,
                                   CollisionAsker* asker);
TransferResult MoveSelectedTargets(FileOpsParts& parts, const std::string& folder,
                                   CollisionAsker* asker);
TransferResult CopyReference(FileOpsParts& parts, const std::string& folder, CollisionAsker* asker);
TransferResult MoveReference(FileOpsParts& parts, const std::string& folder, CollisionAsker* asker);

} // namespace lumidex
