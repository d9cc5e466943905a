#include "DatabaseFile.h"

#include "ByteStream.h"
#include "Paths.h"
#include "RecordingFrame.h"
#include "StandaloneDatabase.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidex {
namespace {

struct FixtureFiles {
    test::TempDir dir;
    test::RecordingFrame frame;
};

struct Fixture : FixtureFiles, StandaloneDatabase {
    Fixture() : StandaloneDatabase(frame, dir.path()) {}

    Pdata& Add(const std::string& path, uint32_t key = 1, uint16_t group = 0) {
        auto e = std::make_unique<Pdata>(path);
        e->key = key;
        e->code = key * 3;
        e->mismatchGroup = group;
        Pdata* p = e.get();
        catalogue.Insert(std::move(e));
        return *p;
    }
    std::string Save(const std::string& name) {
        BuildHeader(db);
        std::string path = dir.File(name);
        EXPECT_TRUE(WriteDatabase(db, path));
        return path;
    }
    ReadResult Read(const std::string& path) {
        state.PendingDatabasePath = path;
        return ReadDatabase(db);
    }
    std::vector<std::string> Paths() const {
        std::vector<std::string> out;
        for (int i = 0; i < catalogue.Count(); ++i)
            out.push_back(catalogue.Entry(i).path);
        return out;
    }
};

// Hand-made files of any version.
struct FileBuilder {
    int version;
    std::string bytes;
    ByteWriter w{bytes};

    explicit FileBuilder(int v, int32_t count = 0, int32_t selection = -1) : version(v) {
        HeaderBytes h;
        EncodeHeader(Options{}, count, selection, h);
        h[5] = static_cast<uint8_t>('0' + v);
        bytes.assign(reinterpret_cast<const char*>(h.data()), h.size());
    }
    FileBuilder& MemoTable(std::vector<std::pair<std::string, int32_t>> groups,
                           std::vector<std::pair<std::string, int32_t>> slots) {
        w.I32(1);
        w.I32(static_cast<int32_t>(groups.size()));
        w.I32(static_cast<int32_t>(slots.size()));
        for (auto& [n, id] : groups)
            w.I32(static_cast<int32_t>(n.size())), w.Bytes(n), w.I32(id);
        for (auto& [t, id] : slots)
            w.I32(static_cast<int32_t>(t.size())), w.Bytes(t), w.I32(id);
        return *this;
    }
    FileBuilder& Record(const std::string& path, uint32_t key, uint16_t group = 0,
                        std::vector<int32_t> memos = {}, int regions = 0) {
        w.I32(static_cast<int32_t>(path.size()));
        w.Bytes(path);
        w.U32(key);
        w.U32(key + 1);
        if (version >= 3) w.U16(group);
        if (version >= 5) w.I32(1000), w.I32(2000);
        if (version >= 4) {
            w.I32(static_cast<int32_t>(memos.size()));
            for (int32_t m : memos)
                w.I32(m);
        }
        if (version >= 7) {
            w.I32(regions);
            for (int i = 0; i < regions; ++i)
                w.U32(7), w.U32(8), w.I32(20), w.I32(10), w.I32(220), w.I32(110);
        }
        return *this;
    }
};

TEST(DatabaseFile, RoundTripKeepsEveryFieldAndCompressesFolders) {
    Fixture a;
    a.memos.AddGroup("Colours", 100);
    a.memos.PutMemo("red", 100);
    a.memos.PutMemo("", -1);
    a.memos.PutMemo("blue", 100);
    Pdata& x = a.Add("/pics/one/a.jpg", 5, 3);
    x.AddMemo(0);
    x.AddMemo(2);
    x.AddRegion(9, 10, Area{10, 20, 110, 220});
    x.fileSize = 4096;
    x.fileTime = 1700000000;
    a.Add("/pics/one/b.jpg", 6);
    a.Add("/pics/two/c.jpg", 7);
    a.Add("/pics/Two/d.jpg", 8); // differs from the folder before only in letter case
    a.Add("/pics/two/e.jpg", 9);
    a.options.SetTrackBar1(11);
    a.options.GroupBox2 = SameFilePolicy::Replace;
    std::string path = a.Save("db.ld2");
    EXPECT_FALSE(a.state.DataChanged);
    EXPECT_EQ(a.frame.status[StatusPanel::Outcome], "Save done.");

    std::string image = test::ReadWholeFile(path);
    EXPECT_EQ(image.substr(0, 6), "LDB008");
    // Full paths start a run; the rest are bare names.
    size_t fullPaths = 0;
    for (size_t at = image.find("/pics/"); at != std::string::npos;
         at = image.find("/pics/", at + 1))
        ++fullPaths;
    EXPECT_EQ(fullPaths, 4u);

    Fixture b;
    EXPECT_EQ(b.Read(path), ReadResult::Done);
    EXPECT_EQ(b.Paths(), a.Paths());
    EXPECT_EQ(b.header.version, 8);
    EXPECT_EQ(b.options.TrackBar1, 11);
    EXPECT_EQ(b.options.GroupBox2, SameFilePolicy::Replace);
    const Pdata& y = b.catalogue.Entry(0);
    EXPECT_EQ(y.key, 5u);
    EXPECT_EQ(y.code, 15u);
    EXPECT_EQ(y.mismatchGroup, 3);
    EXPECT_EQ(y.fileSize, 4096);
    EXPECT_EQ(y.fileTime, 1700000000);
    EXPECT_EQ(y.Memos(), (std::vector<int32_t>{0, 2}));
    ASSERT_EQ(y.RegionCount(), 1);
    EXPECT_EQ(y.RegionAt(0), (secondIndex{9, 10, Area{10, 20, 110, 220}}));
    ASSERT_EQ(b.memos.Count(), 3);
    EXPECT_EQ(b.memos.Slots()[1].groupId, -1);
    EXPECT_EQ(b.memos.Slots()[2].text, "blue");
    EXPECT_FALSE(b.mismatch.IsFree(3));
    // One folder-list item per run, with the run's first entry.
    ASSERT_EQ(b.folders.size(), 4u);
    EXPECT_EQ(b.folders[0].first, "/PICS/ONE/A.JPG");
    EXPECT_EQ(b.folders[0].second, &b.catalogue.Entry(0));
    EXPECT_TRUE(b.state.DataChanged);
    EXPECT_EQ(b.frame.status[StatusPanel::Outcome], "Reading DataBase...Done");

    // What was read is written back byte for byte.
    EXPECT_EQ(test::ReadWholeFile(b.Save("again.ld2")), image);
}

TEST(DatabaseFile, ReadsEveryOldVersion) {
    for (int v = 1; v <= 8; ++v) {
        SCOPED_TRACE(v);
        FileBuilder f(v, 2, 1);
        if (v >= 4) f.MemoTable({{"G", 100}}, {{"m", 100}});
        f.Record("C:\\pics\\a.jpg", 11, 4, {0}, 1).Record("b.jpg", 12);
        Fixture t;
        std::string path = t.dir.Write("old.ldb", f.bytes);
        ASSERT_EQ(t.Read(path), ReadResult::Done);
        ASSERT_EQ(t.catalogue.Count(), 2);
        // Files written on Windows: '\' ends the folder.
        EXPECT_EQ(t.catalogue.Entry(1).path, "C:\\pics\\b.jpg");
        const Pdata& e = t.catalogue.Entry(0);
        EXPECT_EQ(e.key, 11u);
        EXPECT_EQ(e.mismatchGroup, v >= 3 ? 4 : 0);
        EXPECT_EQ(e.fileSize, v >= 5 ? 1000 : -1);
        EXPECT_EQ(e.MemoCount(), v >= 4 ? 1 : 0);
        EXPECT_EQ(e.RegionCount(), v >= 7 ? 1 : 0);
        EXPECT_EQ(t.memos.GroupCount(), v >= 4 ? 1 : 0);
        EXPECT_EQ(t.state.OldFormatRead, v < 5);
        EXPECT_EQ(t.header.savedSelection, v >= 6 ? 1 : -1);
        EXPECT_EQ(t.header.entryCount, v >= 5 ? 2 : 0);
        if (v < 5) {
            EXPECT_EQ(t.frame.status[StatusPanel::Progress],
                      "Reading previous version Database....");
        }
    }
}

// Files spelled out byte by byte from the format's tables, without the program's encoder.
std::string Le32(int32_t v) {
    auto u = static_cast<uint32_t>(v);
    return {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
            static_cast<char>(u >> 24)};
}
std::string Le16(uint16_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8)};
}
std::string Str(const std::string& s) {
    return Le32(static_cast<int32_t>(s.size())) + s;
}
// A 128-byte header: magic, version digits, the option bytes 6..19, selection, count.
std::string RawHeader(const char* version, std::vector<uint8_t> bytes6to19, int32_t selection,
                      int32_t count) {
    std::string h = std::string("LDB") + version;
    for (uint8_t b : bytes6to19)
        h += static_cast<char>(b);
    h.resize(120, '\0');
    return h + Le32(selection) + Le32(count);
}

TEST(DatabaseFile, HandMadeHeaderBytesGiveTheOptionsOfTheTables) {
    //                       6     7     8     9  10 11 12  13    14    15  16    17    18 19
    std::vector<uint8_t> b = {0xA9, 0x5F, 0x91, 0, 6, 2, 17, 0x0A, 0xC3, 5, 0xF7, 0xBC, 2, 0xFF};
    struct Case {
        const char* version;
        int compress;
        int32_t selection;
        int32_t count;
    };
    for (const Case& c : {Case{"008", 2, 1, 5}, Case{"006", 1, 1, 5}, Case{"005", 1, -1, 5},
                          Case{"104", 1, -1, 0}}) {
        SCOPED_TRACE(c.version);
        Fixture t;
        std::string file = RawHeader(c.version, b, 1, 5);
        ASSERT_EQ(t.Read(t.dir.Write("h.ld2", file)), ReadResult::Done);
        const Options& o = t.options;
        EXPECT_EQ(t.header.savedSelection, c.selection);
        EXPECT_EQ(t.header.entryCount, c.count);
        EXPECT_TRUE(o.AutoViewLeft);
        EXPECT_FALSE(o.AutoViewRight);
        EXPECT_TRUE(o.KeepAspectRatio);
        EXPECT_FALSE(o.AllowRobustOperation);
        EXPECT_TRUE(o.ShowMemoonPreview);
        EXPECT_FALSE(o.UseJapneseMenu);
        EXPECT_TRUE(o.TargetListDragDrop);
        EXPECT_TRUE(o.DoubleCheck);
        EXPECT_TRUE(o.NotStrict);
        EXPECT_TRUE(o.ShowreferenceinTarget);
        EXPECT_FALSE(o.CheckBoxSameSizeOnly);
        EXPECT_TRUE(o.ExcludeSameFolder);
        EXPECT_EQ(o.GroupBox1, CopyCollision::Skip);
        EXPECT_TRUE(o.SameDriveOnly);
        EXPECT_FALSE(o.NotUpdateListatAction);
        EXPECT_FALSE(o.TrackMoveCopy);
        EXPECT_TRUE(o.ConfirmDelete);
        EXPECT_EQ(o.GroupBox2, SameFilePolicy::Replace);
        EXPECT_FALSE(o.ConfirmClear);
        EXPECT_TRUE(o.ShoePathName);
        EXPECT_TRUE(o.SmartSort);
        EXPECT_EQ(o.Sortby, SortOrder::RadioButtonbyDate);
        EXPECT_EQ(o.TrackBar2, 17);
        EXPECT_FALSE(o.WrapAround);
        EXPECT_TRUE(o.FixedPosition);
        EXPECT_FALSE(o.FixedSize);
        EXPECT_TRUE(o.Stretch);
        EXPECT_EQ(o.TrackBar1, 12);
        EXPECT_EQ(o.TrackBar3, 3);
        EXPECT_EQ(o.InitialStatus, 1);
        EXPECT_FALSE(o.AutoExpand);
        EXPECT_TRUE(o.AutoSync);
        EXPECT_EQ(o.TrackBarSizeRange, 7);
        EXPECT_EQ(o.JpegQuality, 60);
        EXPECT_TRUE(o.GrayScale);
        EXPECT_EQ(o.Compress, c.compress);
        EXPECT_TRUE(o.DeleteEmptyFolderafterFileMove);
    }

    // Written back, the same bytes come out, unused bits as 0.
    Fixture t;
    ASSERT_EQ(t.Read(t.dir.Write("h.ld2", RawHeader("008", b, -1, 0))), ReadResult::Done);
    HeaderBytes out;
    EncodeHeader(t.options, 0, -1, out);
    b[1] = 0x53;
    b[10] = 0x07;
    b[13] = 0x01;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data()), 128),
              RawHeader("008", b, -1, 0));

    // Key tolerance above the single-check maximum; offset 14 of 0 takes offset 7's bits.
    b[1] = 0x56; // DoubleCheck off, bits 2-3 = 1
    ASSERT_EQ(t.Read(t.dir.Write("h.ld2", RawHeader("008", b, -1, 0))), ReadResult::Done);
    EXPECT_EQ(t.options.TrackBar1, 4);
    EXPECT_EQ(t.options.TrackBar3, 3);
    b[8] = 0;
    ASSERT_EQ(t.Read(t.dir.Write("h.ld2", RawHeader("008", b, -1, 0))), ReadResult::Done);
    EXPECT_EQ(t.options.TrackBar1, 2);
    EXPECT_EQ(t.options.TrackBar3, 4);
}

TEST(DatabaseFile, HandMadeOldVersionFiles) {
    const std::vector<uint8_t> zeros(14, 0);
    // Version 3: no memo table; path, key, code, group. Bits 2-3 of offset 7 give the key
    // tolerance.
    {
        std::vector<uint8_t> b = zeros;
        b[1] = 2 << 2;
        std::string f = RawHeader("003", b, 0, 9) + Str("C:\\one\\a.jpg") + Le32(0x11) +
                        Le32(0x22) + Le16(7) + Str("b.jpg") + Le32(-1) + Le32(-1) + Le16(0) +
                        Str("D:\\two\\c.jpg") + Le32(3) + Le32(4) + Le16(65535);
        Fixture t;
        ASSERT_EQ(t.Read(t.dir.Write("v3.ldb", f)), ReadResult::Done);
        ASSERT_EQ(t.Paths(),
                  (std::vector<std::string>{"C:\\one\\a.jpg", "C:\\one\\b.jpg", "D:\\two\\c.jpg"}));
        EXPECT_EQ(t.catalogue.Entry(0).key, 0x11u);
        EXPECT_EQ(t.catalogue.Entry(0).code, 0x22u);
        EXPECT_EQ(t.catalogue.Entry(0).mismatchGroup, 7);
        EXPECT_EQ(t.catalogue.Entry(1).key, 0xFFFFFFFFu);
        EXPECT_EQ(t.catalogue.Entry(2).mismatchGroup, 65535);
        EXPECT_EQ(t.catalogue.Entry(2).fileSize, -1);
        EXPECT_EQ(t.catalogue.Entry(2).fileTime, -1);
        EXPECT_EQ(t.header.savedSelection, -1);
        EXPECT_EQ(t.header.entryCount, 0);
        EXPECT_TRUE(t.state.OldFormatRead);
        EXPECT_EQ(t.mismatch.MaxNumber(), 65535);
        EXPECT_EQ(t.options.TrackBar1, 3);
        EXPECT_EQ(t.options.TrackBar3, 4);
        EXPECT_EQ(t.options.JpegQuality, 75);
        EXPECT_EQ(t.options.Compress, 1);
        EXPECT_EQ(t.options.GroupBox1, CopyCollision::OverWrite);
        EXPECT_EQ(t.folders.size(), 2u);
    }
    // Version 5: memo table, size and time, memo lists; version 7 adds regions stored as
    // key, code, top, left, bottom, right.
    for (const char* version : {"005", "007"}) {
        SCOPED_TRACE(version);
        bool regions = version[2] == '7';
        std::string table = Le32(42) + Le32(2) + Le32(3) + Str("G") + Le32(100) + Str("H") +
                            Le32(-3) + Str("m0") + Le32(100) + Str("") + Le32(-1) + Str("m2") +
                            Le32(-3);
        std::string a = Str("/p/a.jpg") + Le32(1) + Le32(2) + Le16(0) + Le32(5000) +
                        Le32(1234567890) + Le32(3) + Le32(2) + Le32(0) + Le32(2);
        if (regions) a += Le32(1) + Le32(9) + Le32(8) + Le32(20) + Le32(10) + Le32(220) + Le32(110);
        std::string b = Str("b.jpg") + Le32(3) + Le32(4) + Le16(2) + Le32(-1) + Le32(-1) + Le32(0);
        if (regions) b += Le32(0);
        Fixture t;
        std::string f = RawHeader(version, zeros, 0, 2) + table + a + b;
        ASSERT_EQ(t.Read(t.dir.Write("v.ld2", f)), ReadResult::Done);
        EXPECT_EQ(t.state.OldFormatRead, false);
        EXPECT_EQ(t.header.entryCount, 2);
        EXPECT_EQ(t.memos.tableValue, 42);
        ASSERT_EQ(t.memos.GroupCount(), 2);
        EXPECT_EQ(t.memos.Groups()[1].id, -3);
        ASSERT_EQ(t.memos.Count(), 3);
        EXPECT_EQ(t.memos.Slots()[1].groupId, -1);
        ASSERT_EQ(t.Paths(), (std::vector<std::string>{"/p/a.jpg", "/p/b.jpg"}));
        const Pdata& e = t.catalogue.Entry(0);
        EXPECT_EQ(e.fileSize, 5000);
        EXPECT_EQ(e.fileTime, 1234567890);
        EXPECT_EQ(e.Memos(), (std::vector<int32_t>{2, 0}));
        ASSERT_EQ(e.RegionCount(), regions ? 1 : 0);
        if (regions) {
            EXPECT_EQ(e.RegionAt(0), (secondIndex{9, 8, Area{10, 20, 110, 220}}));
        }
        EXPECT_EQ(t.catalogue.Entry(1).mismatchGroup, 2);
        EXPECT_EQ(t.catalogue.Entry(1).MemoCount(), 0);
        EXPECT_EQ(t.header.savedSelection, regions ? 0 : -1);
    }
}

TEST(DatabaseFile, WriterSpellsTheRecordsOfTheTables) {
    Fixture t;
    t.memos.tableValue = 42;
    t.memos.AddGroup("G", 100);
    t.memos.PutMemo("m", 100);
    Pdata& a = t.Add("/p/a.jpg", 1, 7);
    a.fileSize = 5000;
    a.fileTime = 1234567890;
    a.AddMemo(0);
    a.AddRegion(9, 8, Area{10, 20, 110, 220});
    t.Add("/p/b.jpg", 2);
    std::string image = test::ReadWholeFile(t.Save("w.ld2"));
    std::string want = Le32(42) + Le32(1) + Le32(1) + Str("G") + Le32(100) + Str("m") + Le32(100) +
                       Str("/p/a.jpg") + Le32(1) + Le32(3) + Le16(7) + Le32(5000) +
                       Le32(1234567890) + Le32(1) + Le32(0) + Le32(1) + Le32(9) + Le32(8) +
                       Le32(20) + Le32(10) + Le32(220) + Le32(110) + Str("b.jpg") + Le32(2) +
                       Le32(6) + Le16(0) + Le32(-1) + Le32(-1) + Le32(0) + Le32(0);
    ASSERT_EQ(image.size(), 128 + want.size());
    EXPECT_EQ(image.substr(0, 6), "LDB008");
    EXPECT_EQ(image.substr(120, 8), Le32(-1) + Le32(2));
    EXPECT_EQ(image.substr(128), want);
}

TEST(DatabaseFile, HeaderCodecRulesOfOldFiles) {
    HeaderBytes h;
    Options set;
    set.SetDoubleCheck(false);
    set.Sortby = SortOrder::RadioButtonbySize;
    set.GroupBox1 = CopyCollision::Skip;
    set.SetJpegQuality(90);
    set.GrayScale = true;
    set.SetCompress(3);
    set.InitialStatus = 1;
    EncodeHeader(set, 7, 2, h);
    EXPECT_EQ(h[7] & 1, 0);
    EXPECT_EQ(h[8] & 3, 1);
    EXPECT_EQ(h[11], 3);
    EXPECT_EQ(h[14], (4 << 4) | 2);
    EXPECT_EQ(h[17], 0x80 | 90);
    EXPECT_EQ(h[18], 3);
    EXPECT_EQ(h[15] & 1, 1);

    Options got;
    DecodeHeaderOptions(h, 8, got);
    EXPECT_FALSE(got.DoubleCheck);
    EXPECT_EQ(got.TrackBar1, 4);
    EXPECT_EQ(got.Sortby, SortOrder::RadioButtonbySize);
    EXPECT_EQ(got.JpegQuality, 90);
    EXPECT_TRUE(got.GrayScale);
    EXPECT_EQ(got.Compress, 3);
    EXPECT_TRUE(got.OptionsDialogChanged && got.FindOptionsChanged);

    // Older files: tolerances from offset 7, JPEG defaults, standard compression, and values
    // the controls do not hold change nothing or fall back.
    h[14] = 0;
    h[7] = static_cast<uint8_t>(h[7] | (2 << 2));
    h[17] = 0;
    h[8] = static_cast<uint8_t>((h[8] & ~3) | 3);
    h[9] = 7;
    h[11] = 9;
    Options old;
    old.Sortby = SortOrder::bySimilarity;
    DecodeHeaderOptions(h, 7, old);
    EXPECT_EQ(old.TrackBar1, 3);
    EXPECT_EQ(old.TrackBar3, 4);
    EXPECT_EQ(old.JpegQuality, 75);
    EXPECT_FALSE(old.GrayScale);
    EXPECT_EQ(old.Compress, 1);
    EXPECT_EQ(old.GroupBox1, CopyCollision::Ask);
    EXPECT_EQ(old.GroupBox2, SameFilePolicy::NotCare);
    EXPECT_EQ(old.Sortby, SortOrder::bySimilarity);
}

TEST(DatabaseFile, DamagedFilesKeepTheEntriesBeforeTheDamage) {
    auto good = [] {
        FileBuilder f(8, 1000000);
        f.MemoTable({}, {});
        f.Record("/p/a.jpg", 1).Record("b.jpg", 2);
        return f;
    };
    struct Case {
        const char* name;
        std::string tail;
    };
    auto le = [](int32_t v) {
        std::string s;
        ByteWriter(s).I32(v);
        return s;
    };
    std::string path1023 = "/" + std::string(1022, 'x');
    const Case cases[] = {
        {"length 1024", le(1024) + std::string(1024, 'x')},
        {"negative length", le(-5)},
        {"path past the end", le(40) + "abc"},
        {"cut inside the key", le(5) + "c.jpg" + "\x01\x02"},
        {"memo count past the end",
         le(5) + "c.jpg" + std::string(14, '\0') + std::string(4, '\0') + le(0x7FFFFFFF)},
        {"region count past the end",
         le(5) + "c.jpg" + std::string(14, '\0') + std::string(4, '\0') + le(0) + le(1 << 28)},
        {"stray bytes", "\x01\x02"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture t;
        std::string path = t.dir.Write("d.ld2", good().bytes + c.tail);
        EXPECT_EQ(t.Read(path), ReadResult::Broken);
        EXPECT_EQ(t.Paths(), (std::vector<std::string>{"/p/a.jpg", "/p/b.jpg"}));
        ASSERT_FALSE(t.frame.logged.empty());
        EXPECT_EQ(t.frame.logged.back(), kBrokenFileMessage);
    }
    // The longest path the format allows reads.
    Fixture t;
    FileBuilder f(8);
    f.MemoTable({}, {}).Record(path1023, 1);
    EXPECT_EQ(t.Read(t.dir.Write("long.ld2", f.bytes)), ReadResult::Done);
    EXPECT_EQ(t.catalogue.Entry(0).path.size(), 1023u);

    // A hostile memo table count is refused before anything is allocated.
    Fixture m;
    FileBuilder g(8);
    g.w.I32(1), g.w.I32(0x7FFFFFFF), g.w.I32(0x7FFFFFFF);
    EXPECT_EQ(m.Read(m.dir.Write("m.ld2", g.bytes)), ReadResult::Broken);
}

TEST(DatabaseFile, ForeignTruncatedAndMissingFiles) {
    Fixture t;
    t.state.DatabasePath = "/kept.ld2";
    t.options.SetTrackBar1(13);
    EXPECT_EQ(t.Read(t.dir.Write("x.ld2", "PK\x03\x04 not a database")), ReadResult::NotDatabase);
    EXPECT_EQ(t.frame.logged.back(), kNotDatabaseMessage);
    EXPECT_EQ(t.state.DatabasePath, "/kept.ld2");
    EXPECT_EQ(t.options.TrackBar1, 13);

    EXPECT_EQ(t.Read(t.dir.Write("y.ld2", "LDB008\x01")), ReadResult::Broken);
    EXPECT_EQ(t.options.TrackBar1, 13);

    t.state.DatabasePath = "/kept.ld2";
    EXPECT_EQ(t.Read(t.dir.File("missing.ld2")), ReadResult::CantOpen);
    EXPECT_EQ(t.state.DatabasePath, "/kept.ld2");

    // A header-only file of version 8 (the default-options file) reads without complaint.
    FileBuilder h(8);
    std::size_t before = t.frame.logged.size();
    EXPECT_EQ(t.Read(t.dir.Write("default.ld2", h.bytes)), ReadResult::Done);
    EXPECT_EQ(t.frame.logged.size(), before);
    EXPECT_EQ(t.options.TrackBar1, 8);

    // Cancelling the open dialog changes nothing.
    t.state.DatabasePath = "/kept.ld2";
    EXPECT_EQ(ReadDatabase(t.db), ReadResult::Cancelled);
    EXPECT_EQ(t.state.DatabasePath, "/kept.ld2");
}

TEST(DatabaseFile, MergeShiftsGroupsAndMemosAndKeepsOptions) {
    Fixture t;
    t.memos.AddGroup("Colours", 104);
    t.memos.PutMemo("red", 104);
    t.mismatch.MarkUsed(5);
    Pdata& mine = t.Add("/p/shared.jpg");
    mine.AddMemo(0);
    t.options.GroupBox2 = SameFilePolicy::DontAdd;
    t.options.SetTrackBar1(13);

    FileBuilder f(8);
    f.MemoTable({{"Colours", 100}, {"Other", 101}}, {{"green", 100}, {"", -1}, {"x", 101}});
    f.Record("/p/new1.jpg", 1, 1, {0})
        .Record("new2.jpg", 2, 2)
        .Record("new3.jpg", 3, 0)
        .Record("shared.jpg", 4, 0, {2});
    t.state.Merging = true;
    EXPECT_EQ(t.Read(t.dir.Write("other.ld2", f.bytes)), ReadResult::Done);
    t.state.Merging = false;

    EXPECT_EQ(t.options.TrackBar1, 13);
    EXPECT_EQ(t.options.GroupBox2, SameFilePolicy::DontAdd);
    ASSERT_EQ(t.memos.GroupCount(), 3);
    EXPECT_EQ(t.memos.Groups()[1].name, "Colours1");
    EXPECT_EQ(t.memos.Groups()[1].id, 204);
    EXPECT_EQ(t.memos.Groups()[2].id, 205);
    ASSERT_EQ(t.memos.Count(), 4);
    EXPECT_EQ(t.memos.Slots()[1].groupId, 204);
    EXPECT_EQ(t.memos.Slots()[2].groupId, -1);
    EXPECT_EQ(t.memos.Slots()[3].groupId, 205);

    ASSERT_EQ(t.Paths(), (std::vector<std::string>{"/p/new1.jpg", "/p/new2.jpg", "/p/new3.jpg",
                                                   "/p/shared.jpg"}));
    EXPECT_EQ(t.catalogue.Entry(0).mismatchGroup, 6);
    EXPECT_EQ(t.catalogue.Entry(1).mismatchGroup, 7);
    EXPECT_EQ(t.catalogue.Entry(2).mismatchGroup, 0);
    EXPECT_EQ(t.catalogue.Entry(0).Memos(), (std::vector<int32_t>{1}));
    // Don't Add: the entry stays and takes the memos of the one read.
    EXPECT_EQ(&t.catalogue.Entry(3), &mine);
    EXPECT_EQ(mine.Memos(), (std::vector<int32_t>{0, 3}));
    EXPECT_EQ(t.mismatch.MaxNumber(), 7);
}

TEST(DatabaseFile, MergedGroupsNeverWrapOntoGroupsInUse) {
    Fixture t;
    t.mismatch.MarkUsed(1);
    t.mismatch.MarkUsed(65000);
    t.Add("/p/mine.jpg").mismatchGroup = 1;
    FileBuilder f(8);
    f.MemoTable({}, {});
    f.Record("/q/a.jpg", 1, 600).Record("b.jpg", 2, 600).Record("c.jpg", 3, 10);
    t.state.Merging = true;
    EXPECT_EQ(t.Read(t.dir.Write("other.ld2", f.bytes)), ReadResult::Done);
    t.state.Merging = false;
    ASSERT_EQ(t.catalogue.Count(), 4);
    const int a = t.catalogue.FindEntry("/q/a.jpg");
    EXPECT_EQ(t.catalogue.Entry(a).mismatchGroup, 2)
        << "600 + 65000 would wrap: a free number instead";
    EXPECT_EQ(t.catalogue.Entry(a + 1).mismatchGroup, 2) << "its group stays together";
    EXPECT_EQ(t.catalogue.Entry(a + 2).mismatchGroup, 65010);
    EXPECT_EQ(t.frame.logged.back(), "Mismatch group 600 of the merged database became group 2.");
}

TEST(DatabaseFile, ReplaceAndNotCarePolicies) {
    FileBuilder f(8);
    f.MemoTable({}, {{"a", 100}, {"b", 100}});
    f.Record("/p/same.jpg", 9, 0, {1});
    for (SameFilePolicy policy : {SameFilePolicy::Replace, SameFilePolicy::NotCare}) {
        Fixture t;
        Pdata& old = t.Add("/p/same.jpg", 1);
        old.AddMemo(0);
        t.options.GroupBox2 = policy;
        std::vector<Pdata*> removed;
        t.hooks.RemoveFromLists = [&](Pdata& e) { removed.push_back(&e); };
        t.state.Merging = true;
        ASSERT_EQ(t.Read(t.dir.Write("o.ld2", f.bytes)), ReadResult::Done);
        if (policy == SameFilePolicy::Replace) {
            ASSERT_EQ(t.catalogue.Count(), 1);
            EXPECT_EQ(t.catalogue.Entry(0).key, 9u);
            EXPECT_EQ(t.catalogue.Entry(0).Memos(), (std::vector<int32_t>{1, 0}));
            EXPECT_EQ(removed.size(), 1u);
            EXPECT_EQ(t.folders[0].second, &t.catalogue.Entry(0));
        } else {
            ASSERT_EQ(t.catalogue.Count(), 2);
            // The one read goes before the equal key already present.
            EXPECT_EQ(t.catalogue.Entry(0).key, 9u);
            EXPECT_TRUE(removed.empty());
        }
    }
}

TEST(DatabaseFile, ReplacedEntryLeavesNoDanglingFolderItem) {
    // A file listing one path twice: under Replace the second replaces the first, which
    // started the folder run. The lists' hook drops folder items of a removed entry, as the
    // workspace's does.
    FileBuilder twoRuns(8);
    twoRuns.MemoTable({}, {});
    twoRuns.Record("/p/a.jpg", 1).Record("/q/z.jpg", 2).Record("/p/a.jpg", 3);
    FileBuilder oneRun(8);
    oneRun.MemoTable({}, {});
    oneRun.Record("/p/a.jpg", 1).Record("a.jpg", 3).Record("b.jpg", 4);
    FileBuilder again(8);
    again.MemoTable({}, {});
    again.Record("/p/a.jpg", 1).Record("/q/z.jpg", 2).Record("/p/a.jpg", 5);
    again.Record("/r/y.jpg", 6).Record("/p/a.jpg", 3).Record("/r/y.jpg", 7);
    for (const FileBuilder* f : {&twoRuns, &oneRun, &again}) {
        Fixture t;
        t.hooks.RemoveFromLists = [&t](Pdata& e) {
            std::erase_if(t.folders, [&e](const auto& item) { return item.second == &e; });
        };
        t.options.GroupBox2 = SameFilePolicy::Replace;
        t.state.Merging = true;
        ASSERT_EQ(t.Read(t.dir.Write("dup.ld2", f->bytes)), ReadResult::Done);
        ASSERT_EQ(t.catalogue.Count(), f == &again ? 3 : 2);
        ASSERT_FALSE(t.folders.empty());
        for (auto& [key, entry] : t.folders) {
            ASSERT_GE(t.catalogue.PositionOf(entry), 0) << key;
            EXPECT_EQ(key, paths::UpperKey(entry->path));
        }
        EXPECT_EQ(t.catalogue.Entry(0).key, 3u);
    }
}

TEST(DatabaseFile, StopRequestEndsTheReadAndProgressCountsEvery256) {
    FileBuilder f(8, 600);
    f.MemoTable({}, {});
    for (int i = 0; i < 600; ++i)
        f.Record("/p/" + std::to_string(100000 + i) + ".jpg", static_cast<uint32_t>(i));
    Fixture t;
    std::string path = t.dir.Write("big.ld2", f.bytes);
    ASSERT_EQ(t.Read(path), ReadResult::Done);
    EXPECT_EQ(t.catalogue.Count(), 600);
    EXPECT_EQ(t.frame.status[StatusPanel::Counts], "512 Files");
    EXPECT_EQ(t.frame.mainProgressMax, 600);
    EXPECT_FALSE(t.frame.mainProgressVisible);

    Fixture s;
    int calls = 0;
    s.frame.onProcessEvents = [&] {
        if (++calls == 10) s.state.StopRequested = true;
    };
    EXPECT_EQ(s.Read(path), ReadResult::Stopped);
    EXPECT_EQ(s.catalogue.Count(), 10);
}

TEST(DatabaseFile, FailedSaveLeavesTheOldFileAndTheChangeFlags) {
    Fixture t;
    t.Add("/p/a.jpg");
    t.state.DataChanged = true;
    BuildHeader(t.db);
    EXPECT_FALSE(WriteDatabase(t.db, t.dir.File("no/such/folder.ld2")));
    EXPECT_EQ(t.frame.logged.back(), "Can't open " + t.dir.File("no/such/folder.ld2"));
    EXPECT_TRUE(t.state.DataChanged);

    // Something in the way of the final rename: the write fails after the data was written.
    std::filesystem::create_directory(t.dir.File("busy.ld2"));
    EXPECT_FALSE(WriteDatabase(t.db, t.dir.File("busy.ld2")));
    EXPECT_EQ(t.frame.logged.back(), "Write error. Disk full?");
    ASSERT_EQ(t.frame.questions.size(), 1u);
    EXPECT_EQ(t.frame.questions[0].caption, "Serious Error");
    EXPECT_EQ(t.frame.questions[0].text,
              "Data is NOT saved completely.\nPlease check your disk and retry.");
    EXPECT_TRUE(t.state.DataChanged);
    std::size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(t.dir.path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 0u);
}

TEST(DatabaseFile, UnstorablePathsAreLeftOutAndReported) {
    Fixture t;
    t.Add("/p/a.jpg");
    t.Add("/p/" + std::string(1100, 'y') + ".jpg");
    t.Add("relative.jpg"); // a bare name after a folder run would take that folder
    BuildHeader(t.db);
    t.state.DataChanged = true;
    std::string path = t.dir.File("s.ld2");
    EXPECT_FALSE(WriteDatabase(t.db, path));
    EXPECT_TRUE(t.state.DataChanged);
    EXPECT_EQ(t.frame.logged.size(), 2u);
    Fixture r;
    EXPECT_EQ(r.Read(path), ReadResult::Done);
    EXPECT_EQ(r.Paths(), (std::vector<std::string>{"/p/a.jpg"}));
}

} // namespace
} // namespace lumidex
