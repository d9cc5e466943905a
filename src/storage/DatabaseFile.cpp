#include "DatabaseFile.h"

#include "AtomicFile.h"
#include "ByteStream.h"
#include "Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace lumidex {

namespace {

int32_t ReadI32At(const HeaderBytes& h, size_t at) {
    return static_cast<int32_t>(
        static_cast<uint32_t>(h[at]) | (static_cast<uint32_t>(h[at + 1]) << 8) |
        (static_cast<uint32_t>(h[at + 2]) << 16) | (static_cast<uint32_t>(h[at + 3]) << 24));
}

void WriteI32At(HeaderBytes& h, size_t at, int32_t value) {
    auto v = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i)
        h[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint8_t Bit(bool on, int bit) {
    return static_cast<uint8_t>(on ? 1u << bit : 0u);
}
bool IsSet(uint8_t byte, int bit) {
    return (byte >> bit) & 1u;
}

bool HasMagic(std::string_view bytes) {
    return bytes.size() >= 3 && bytes.substr(0, 3) == "LDB";
}

// Length of the folder part (drive and directory with the last delimiter). Files written on
// Windows use '\', files written here '/'; both end a folder.
size_t FolderLength(std::string_view path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? 0 : cut + 1;
}

// The least bytes one entry record of a version takes.
size_t MinimumRecordSize(int version) {
    size_t size = 12; // path length, key, code
    if (version >= 3) size += 2;
    if (version >= 4) size += 4;
    if (version >= 5) size += 8;
    if (version >= 7) size += 4;
    return size;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    try {
        if (ok) out.resize(static_cast<size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
        ok = false; // larger than the memory can hold
    }
    size_t done = 0;
    while (ok && done < out.size()) {
        ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            ok = false;
        else if (n == 0)
            out.resize(done); // the file shrank meanwhile
        else
            done += static_cast<size_t>(n);
    }
    ::close(fd);
    return ok;
}

constexpr const char* kPathNotSaved = "Path too long to save:";

} // namespace

void EncodeHeader(const Options& o, int32_t entryCount, int32_t selection, HeaderBytes& h) {
    h.fill(0);
    std::memcpy(h.data(), "LDB008", 6);
    h[6] = Bit(o.AutoViewLeft, 0) | Bit(o.AutoViewRight, 1) | Bit(o.KeepAspectRatio, 3) |
           Bit(o.AllowRobustOperation, 4) | Bit(o.ShowMemoonPreview, 5) | Bit(o.UseJapneseMenu, 6) |
           Bit(o.TargetListDragDrop, 7);
    h[7] = Bit(o.DoubleCheck, 0) | Bit(o.NotStrict, 1) | Bit(o.ShowreferenceinTarget, 4) |
           Bit(o.CheckBoxSameSizeOnly, 5) | Bit(o.ExcludeSameFolder, 6);
    h[8] = static_cast<uint8_t>(static_cast<uint8_t>(o.GroupBox1) & 3) | Bit(o.SameDriveOnly, 4) |
           Bit(o.NotUpdateListatAction, 5) | Bit(o.TrackMoveCopy, 6) | Bit(o.ConfirmDelete, 7);
    h[9] = static_cast<uint8_t>(o.GroupBox2);
    h[10] = Bit(o.ConfirmClear, 0) | Bit(o.ShoePathName, 1) | Bit(o.SmartSort, 2);
    h[11] = static_cast<uint8_t>(o.Sortby);
    h[12] = static_cast<uint8_t>(o.TrackBar2);
    h[13] =
        Bit(o.WrapAround, 0) | Bit(o.FixedPosition, 1) | Bit(o.FixedSize, 2) | Bit(o.Stretch, 3);
    h[14] = static_cast<uint8_t>(((o.TrackBar1 & 0x0F) << 4) | (o.TrackBar3 & 0x0F));
    h[15] = Bit(o.InitialStatus == 1, 0) | Bit(o.AutoExpand, 1) | Bit(o.AutoSync, 2);
    h[16] = static_cast<uint8_t>(o.TrackBarSizeRange & 0x0F);
    h[17] = static_cast<uint8_t>((o.JpegQuality & 0x7F) | (o.GrayScale ? 0x80 : 0));
    h[18] = static_cast<uint8_t>(o.Compress & 0x0F);
    h[19] = Bit(o.DeleteEmptyFolderafterFileMove, 0);
    WriteI32At(h, 120, selection);
    WriteI32At(h, 124, entryCount);
}

void DecodeHeaderOptions(const HeaderBytes& h, int version, Options& o) {
    Options before = o;
    o.AutoViewLeft = IsSet(h[6], 0);
    o.AutoViewRight = IsSet(h[6], 1);
    o.KeepAspectRatio = IsSet(h[6], 3);
    o.AllowRobustOperation = IsSet(h[6], 4);
    o.ShowMemoonPreview = IsSet(h[6], 5);
    o.UseJapneseMenu = IsSet(h[6], 6);
    o.TargetListDragDrop = IsSet(h[6], 7);
    o.SetDoubleCheck(IsSet(h[7], 0));
    o.NotStrict = IsSet(h[7], 1);
    o.ShowreferenceinTarget = IsSet(h[7], 4);
    o.CheckBoxSameSizeOnly = IsSet(h[7], 5);
    o.ExcludeSameFolder = IsSet(h[7], 6);

    if (h[14] == 0) {
        // Older files kept a key tolerance of 1 to 4 in offset 7.
        o.SetTrackBar1(((h[7] >> 2) & 3) + 1);
        o.SetTrackBar3(4);
    } else {
        o.SetTrackBar1(h[14] >> 4);
        o.SetTrackBar3(h[14] & 0x0F);
    }

    if ((h[8] & 3) != 3) o.GroupBox1 = static_cast<CopyCollision>(h[8] & 3);
    o.SameDriveOnly = IsSet(h[8], 4);
    o.NotUpdateListatAction = IsSet(h[8], 5);
    o.TrackMoveCopy = IsSet(h[8], 6);
    o.ConfirmDelete = IsSet(h[8], 7);
    o.DeleteEmptyFolderafterFileMove = IsSet(h[19], 0);
    o.GroupBox2 = h[9] <= 1 ? static_cast<SameFilePolicy>(h[9]) : SameFilePolicy::NotCare;
    o.ConfirmClear = IsSet(h[10], 0);
    o.ShoePathName = IsSet(h[10], 1);
    o.SmartSort = IsSet(h[10], 2);
    // An order no radio button stands for checks none of them: the previous order stays.
    if (h[11] <= static_cast<uint8_t>(SortOrder::bySimilarity))
        o.Sortby = static_cast<SortOrder>(h[11]);
    o.SetTrackBar2(h[12]);
    o.WrapAround = IsSet(h[13], 0);
    o.FixedPosition = IsSet(h[13], 1);
    o.FixedSize = IsSet(h[13], 2);
    o.Stretch = IsSet(h[13], 3);
    o.SetInitialStatus(h[15] & 1);
    o.AutoExpand = IsSet(h[15], 1);
    o.AutoSync = IsSet(h[15], 2);
    o.SetTrackBarSizeRange(h[16] & 0x0F);

    if (h[17] == 0) {
        o.SetJpegQuality(75);
        o.GrayScale = false;
    } else {
        o.SetJpegQuality(h[17] & 0x7F);
        o.GrayScale = IsSet(h[17], 7);
    }
    o.SetCompress(version >= 8 ? (h[18] & 0x0F) : 1);

    RaiseChangedFlags(before, o);
    // The size check's click handler runs in any case and marks the options changed.
    o.OptionsDialogChanged = true;
    o.FindOptionsChanged = true;
}

void BuildHeader(Database& db, HeaderBytes& header) {
    int32_t selection = db.hooks.CurrentReferenceIndex ? db.hooks.CurrentReferenceIndex() : -1;
    EncodeHeader(db.options, db.catalogue.Count(), selection, header);
    db.header.savedSelection = selection;
    if (db.hooks.SelectSortKey) db.hooks.SelectSortKey();
}

bool ApplyHeader(Database& db, std::string_view bytes) {
    if (!HasMagic(bytes) || bytes.size() < kHeaderSize) return false;
    HeaderBytes h;
    std::memcpy(h.data(), bytes.data(), kHeaderSize);
    HeaderState& hs = db.header;
    hs.version = HeaderVersion(h);
    hs.savedSelection = hs.version >= 6 ? ReadI32At(h, 120) : -1;
    if (hs.version >= 5) {
        hs.entryCount = ReadI32At(h, 124);
        db.state.frame().ShowMainProgress(std::max(hs.entryCount, 0));
    } else {
        db.state.frame().SetStatusText(StatusPanel::Progress,
                                       "Reading previous version Database....");
        db.state.OldFormatRead = true;
        db.state.frame().ChangeFlagsChanged();
        hs.entryCount = 0;
    }
    // An import never changes the options.
    if (db.state.Merging) return true;
    DecodeHeaderOptions(h, hs.version, db.options);
    if (db.hooks.MenuLanguage) db.hooks.MenuLanguage(db.options.UseJapneseMenu);
    if (db.hooks.SelectSortKey) db.hooks.SelectSortKey();
    return true;
}

std::string EncodeDatabase(Database& db, int* leftOut) {
    Frame& frame = db.state.frame();
    const Catalogue& catalogue = db.catalogue;
    std::string out;
    out.reserve(kHeaderSize + 64 + static_cast<size_t>(catalogue.Count()) * 72);
    out.append(reinterpret_cast<const char*>(db.header.HeaderBuffer.data()), kHeaderSize);
    ByteWriter w(out);
    db.memos.WriteMemoTable(w);

    frame.ShowMainProgress(catalogue.Count());
    std::string_view current; // folder of the running folder run
    int skipped = 0;
    for (int i = 0; i < catalogue.Count(); ++i) {
        const Pdata& e = catalogue.Entry(i);
        std::string_view path = e.path;
        size_t cut = FolderLength(path);
        std::string_view folder = path.substr(0, cut);
        bool sameFolder = folder == current;
        std::string_view text = sameFolder ? path.substr(cut) : path;
        // A record longer than the format allows, or a bare name after a folder run, would
        // make every later record unreadable: such an entry is left out and reported.
        if (text.size() > static_cast<size_t>(kMaxPathLength) ||
            (folder.empty() && !current.empty())) {
            db.state.LogMessage(std::string(kPathNotSaved) + e.path);
            ++skipped;
            continue;
        }
        if (!sameFolder) current = folder;
        w.I32(static_cast<int32_t>(text.size()));
        w.Bytes(text);
        w.U32(e.key);
        w.U32(e.code);
        w.U16(e.mismatchGroup);
        w.I32(e.fileSize);
        w.I32(e.fileTime);
        e.WriteMemoList(w);
        e.WriteSubIndex(w);
        if (i % 256 == 0) frame.SetMainProgressPosition(i);
    }
    if (leftOut) *leftOut = skipped;
    return out;
}

bool WriteDatabase(Database& db, const std::string& path) {
    SharedState& state = db.state;
    Frame& frame = state.frame();
    frame.SetBusy(true);
    frame.SetStatusText(StatusPanel::Progress, "Saving....");
    int leftOut = 0;
    std::string image = EncodeDatabase(db, &leftOut);
    bool everyEntry = leftOut == 0;
    SaveResult result = WriteFileAtomically(path, image);
    frame.HideMainProgress();
    if (result == SaveResult::CantCreate) {
        state.LogMessage("Can't open " + path);
    } else if (result == SaveResult::WriteFailed) {
        state.LogMessage("Write error. Disk full?");
        frame.Ask({"Serious Error",
                   "Data is NOT saved completely.\nPlease check your disk and retry.",
                   {Answer::Ok}});
    } else {
        // Entries left out still count as unsaved.
        state.DataChanged = !everyEntry;
        state.OptionsChanged = false;
        state.OldFormatRead = false;
        frame.ChangeFlagsChanged();
        frame.SetStatusText(StatusPanel::Outcome, "Save done.");
    }
    frame.SetBusy(false);
    return result == SaveResult::Ok && everyEntry;
}

ReadResult ParseDatabase(Database& db, std::string_view image) {
    SharedState& state = db.state;
    OperationScope running(state);
    Frame& frame = state.frame();

    MergedGroupNumbers mergedGroups(db.mismatch, state);
    db.memos.groupIdBase = db.memos.MaxGroupId();
    const int32_t memoOffset = db.memos.Count();
    db.folders.clear();

    ReadResult result = ReadResult::Done;
    if (!ApplyHeader(db, image)) {
        // A file cut inside its header is a damaged database, not a foreign file.
        bool truncated = HasMagic(image);
        state.LogMessage(truncated ? kBrokenFileMessage : kNotDatabaseMessage);
        result = truncated ? ReadResult::Broken : ReadResult::NotDatabase;
    } else {
        const int version = db.header.version;
        ByteReader in(image);
        in.Seek(kHeaderSize);
        // A file that ends with its header (the default-options file) holds no memo table.
        if (version >= 4 && !in.AtEnd()) {
            bool ok = db.memos.ReadMemoTable(in);
            if (db.hooks.MemosChanged) db.hooks.MemosChanged();
            if (!ok) result = ReadResult::Broken;
        }
        if (result == ReadResult::Done && db.header.entryCount > 0) {
            size_t bound = in.Remaining() / MinimumRecordSize(version);
            size_t wanted = std::min(static_cast<size_t>(db.header.entryCount), bound);
            db.catalogue.Reserve(static_cast<size_t>(db.catalogue.Count()) + wanted);
        }

        const SameFilePolicy policy = db.options.GroupBox2;
        std::string currentFolder;
        // Positions of the folder items read so far, by entry.
        std::unordered_map<const Pdata*, std::vector<size_t>> folderItemsOf;
        int count = 0;
        while (result == ReadResult::Done && !in.AtEnd()) {
            int32_t length = in.I32();
            if (in.Failed() || length < 0 || length > kMaxPathLength ||
                !in.Need(static_cast<size_t>(length))) {
                result = ReadResult::Broken;
                break;
            }
            std::string_view text = in.Bytes(static_cast<size_t>(length));
            size_t cut = FolderLength(text);
            bool startsRun = cut > 0;
            std::string fullPath;
            if (startsRun) {
                currentFolder.assign(text.substr(0, cut));
                fullPath.assign(text);
            } else {
                fullPath.reserve(currentFolder.size() + text.size());
                fullPath.append(currentFolder).append(text);
            }
            auto entry = std::make_unique<Pdata>(std::move(fullPath));
            entry->key = in.U32();
            entry->code = in.U32();
            if (version >= 3) {
                uint16_t group = in.U16();
                if (state.Merging) group = mergedGroups.Map(group);
                entry->mismatchGroup = group;
                if (!in.Failed()) db.mismatch.MarkUsed(group);
            }
            if (version >= 5) {
                entry->fileSize = in.I32();
                entry->fileTime = in.I32();
            }
            if (version >= 4) entry->ReadMemoList(in, memoOffset);
            if (version >= 7) entry->ReadSubIndex(in);
            if (in.Failed()) {
                result = ReadResult::Broken;
                break;
            }

            // Files are written in key order: a record that sorts after every entry present
            // cannot name one of them, and needs no search.
            const Catalogue& cat = db.catalogue;
            bool afterAll = cat.Empty() ||
                            paths::CompareUpper(cat.Entry(cat.Count() - 1).path, entry->path) < 0;
            int old = afterAll ? -1 : cat.FindEntry(entry->path);
            if (old >= 0 && policy == SameFilePolicy::DontAdd) {
                db.catalogue.Entry(old).MergeMemos(entry->Memos());
                frame.SetMainProgressPosition(count);
                continue;
            }
            if (old >= 0 && policy == SameFilePolicy::Replace) {
                Pdata& oldEntry = db.catalogue.Entry(old);
                entry->MergeMemos(oldEntry.Memos());
                // The folder list must not keep pointing at the destroyed entry. Repointed
                // before the lists let go of it, so that no item is dropped and the
                // positions kept in folderItemsOf stay valid.
                if (auto it = folderItemsOf.find(&oldEntry); it != folderItemsOf.end()) {
                    std::vector<size_t> items = std::move(it->second);
                    folderItemsOf.erase(it);
                    for (size_t at : items)
                        db.folders[at].second = entry.get();
                    folderItemsOf[entry.get()] = std::move(items);
                }
                if (db.hooks.RemoveFromLists) db.hooks.RemoveFromLists(oldEntry);
                db.catalogue.Take(old);
            }
            Pdata* added = entry.get();
            db.catalogue.Insert(std::move(entry));
            if (startsRun) {
                folderItemsOf[added].push_back(db.folders.size());
                db.folders.emplace_back(paths::UpperKey(added->path), added);
            }
            state.DataChanged = true;
            ++count;
            if (count % 256 == 0) {
                frame.SetStatusText(StatusPanel::Counts, std::to_string(count) + " Files");
                frame.SetMainProgressPosition(count);
            }
            if (db.options.AllowRobustOperation) frame.ProcessEvents();
            if (state.StopRequested) {
                result = ReadResult::Stopped;
                break;
            }
        }
        if (result == ReadResult::Broken) state.LogMessage(kBrokenFileMessage);
        frame.ChangeFlagsChanged();
    }
    return result;
}

FileChoice DatabaseOpenChoice() {
    FileChoice c;
    c.forSaving = false;
    c.filter = "Lumidex Database(ls2,ldb)|*.ld2;*.ldb|All|*.*";
    c.defaultExtension = "ldb";
    c.initialPath = "*.ld2;*.ldb";
    return c;
}

ReadResult ReadDatabase(Database& db) {
    SharedState& state = db.state;
    Frame& frame = state.frame();
    // A second read started from inside the running one would change the catalogue under it.
    if (db.header.reading) return ReadResult::Cancelled;

    std::string kept = state.DatabasePath;
    state.StopRequested = false;
    if (db.hooks.SelectSortKey) db.hooks.SelectSortKey();
    if (!state.PendingDatabasePath.empty()) {
        state.DatabasePath = std::move(state.PendingDatabasePath);
        state.PendingDatabasePath.clear();
    } else {
        std::string chosen = frame.ChooseFile(DatabaseOpenChoice());
        if (chosen.empty()) return ReadResult::Cancelled;
        state.DatabasePath = chosen;
    }

    frame.SetStatusText(StatusPanel::Progress, "Reading DataBase...");
    frame.ShowTitle("Reading <" + std::string(paths::FileName(state.DatabasePath)) + ">");
    frame.SetBusy(true);

    db.header.reading = true;
    ReadResult result;
    {
        std::string image;
        if (!ReadWholeFile(state.DatabasePath, image)) {
            state.LogMessage("Can't open " + state.DatabasePath);
            state.DatabasePath = kept;
            frame.SetBusy(false);
            db.header.reading = false;
            return ReadResult::CantOpen;
        }
        result = ParseDatabase(db, image);
    }
    if (result == ReadResult::NotDatabase) state.DatabasePath = kept;
    frame.HideMainProgress();
    frame.SetBusy(false);
    db.header.reading = false;

    if (db.hooks.AfterRead) db.hooks.AfterRead(state.Merging ? -1 : db.header.savedSelection);
    frame.SetStatusText(StatusPanel::Outcome, "Reading DataBase...Done");
    return result;
}

} // namespace lumidex
