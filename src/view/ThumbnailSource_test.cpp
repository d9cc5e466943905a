#include "EntryList.h"
#include "ExifTestPicture.h"
#include "ExifThumbnail.h"
#include "Pdata.h"
#include "TempDir.h"
#include "TestPictures.h"
#include "ThumbnailCache.h"
#include "ThumbnailDrawing.h"
#include "ThumbnailSource.h"

#include <QBuffer>
#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <utime.h>

namespace lumidex {
namespace {

using test::TempDir;

ExifThumbnail Parse(const std::string& block) {
    ExifThumbnail exif;
    ParseExif(reinterpret_cast<const uint8_t*>(block.data()), block.size(), exif);
    return exif;
}

// The payload of an APP1 segment made by ExifSegment (marker and length cut off).
std::string Payload(const std::string& segment) {
    return segment.substr(4);
}

TEST(ExifThumbnail, FindsOrientationAndTheEmbeddedPictureInEitherByteOrder) {
    const std::string thumb = test::JpegBytes(test::PhotoLikePicture(16, 12, 1));
    const std::string block = Payload(test::ExifSegment(6, thumb));
    const ExifThumbnail exif = Parse(block);
    EXPECT_EQ(exif.orientation, 6);
    ASSERT_EQ(exif.length, thumb.size());
    EXPECT_EQ(block.substr(exif.offset, exif.length), thumb);

    // Motorola order, orientation only: IFD0 with one entry, no IFD1.
    const std::string big("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01"
                          "\x01\x12\0\x03\0\0\0\x01\0\x08\0\0"
                          "\0\0\0\0",
                          32);
    const ExifThumbnail motorola = Parse(big);
    EXPECT_EQ(motorola.orientation, 8);
    EXPECT_EQ(motorola.length, 0u);
}

TEST(ExifThumbnail, DamagedBlocksGiveNoPictureAndReadNothingOutside) {
    const std::string thumb = test::JpegBytes(test::PhotoLikePicture(16, 12, 1));
    const std::string good = Payload(test::ExifSegment(3, thumb));
    auto patched = [&](size_t at, std::string bytes) {
        std::string b = good;
        b.replace(at, bytes.size(), bytes);
        return b;
    };
    // Offsets of the block: TIFF at 6, IFD0 at 14, IFD1 at 32, its offset and length values
    // at 6 + 26 + 2 + 12 + 8 = 54 and 66.
    const struct {
        const char* what;
        std::string block;
        int orientation;
    } cases[] = {
        {"cut inside the thumbnail", good.substr(0, good.size() - 1), 3},
        {"thumbnail offset past the end", patched(54, std::string("\xff\xff\0\0", 4)), 3},
        {"offset and length wrap around", patched(54, std::string("\xf0\xff\xff\xff\x20\0\0\0", 8)),
         3},
        {"not a JPEG", patched(6 + 68, "xx"), 3},
        {"IFD1 count past the end", patched(32, "\xff\xff"), 3},
        {"IFD0 count past the end", patched(14, "\xff\xff"), 1},
        {"IFD0 past the end", patched(10, std::string("\0\0\0\x7f", 4)), 1},
    };
    for (const auto& c : cases) {
        // A copy of exactly its size, so that a read past it is caught by the sanitizers.
        std::vector<uint8_t> exact(c.block.begin(), c.block.end());
        ExifThumbnail exif;
        ParseExif(exact.data(), exact.size(), exif);
        EXPECT_EQ(exif.length, 0u) << c.what;
        EXPECT_EQ(exif.orientation, c.orientation) << c.what;
    }
    EXPECT_EQ(Parse(patched(14 + 2 + 8, std::string("\x09\0", 2))).orientation, 1); // 1..8 only
    ExifThumbnail exif;
    EXPECT_FALSE(ParseExif(reinterpret_cast<const uint8_t*>("JFIF\0\0II*\0\x08\0\0\0"), 14, exif));
    EXPECT_FALSE(ParseExif(reinterpret_cast<const uint8_t*>(good.data()), 10, exif));
}

TEST(ThumbnailCache, FileUrisAreEscapedAsTheDesktopEscapesThem) {
    const struct {
        const char* path;
        const char* uri;
    } cases[] = {
        {"/home/a/b.jpg", "file:///home/a/b.jpg"},
        {"/photos/my trip/x;1#2%.jpg", "file:///photos/my%20trip/x%3B1%232%25.jpg"},
        {"/keep/!$&'()*+,-.:=@_~", "file:///keep/!$&'()*+,-.:=@_~"},
        {"/\xc3\xa9t\xc3\xa9/[a]?.jpg", "file:///%C3%A9t%C3%A9/%5Ba%5D%3F.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ThumbnailCache::FileUri(c.path), c.uri) << c.path;
    // The name is the MD5 of the URI.
    EXPECT_EQ(ThumbnailCache("/c").PathFor("/home/a/b.jpg", "normal"),
              "/c/normal/" +
                  QCryptographicHash::hash("file:///home/a/b.jpg", QCryptographicHash::Md5)
                      .toHex()
                      .toStdString() +
                  ".png");
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

TEST(ThumbnailCache, AStoredThumbnailServesOnlyTheFileAsItWas) {
    TempDir dir;
    const ThumbnailCache cache(dir.File("cache/thumbnails"));
    const std::string picture =
        test::WritePicture(dir.File("p.png"), test::PhotoLikePicture(600, 400, 1));
    const FileStamp stamp{4321, 1700000000};
    cache.Store(picture, stamp, {100, 100}, test::PhotoLikePicture(600, 400, 1), {600, 400});
    const std::string stored = cache.PathFor(picture, "normal");
    ASSERT_TRUE(std::filesystem::exists(stored));
    EXPECT_EQ(Mode(stored), 0600u);
    EXPECT_EQ(Mode(dir.File("cache/thumbnails")), 0700u);
    EXPECT_EQ(Mode(dir.File("cache/thumbnails/normal")), 0700u);
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(dir.File("cache/thumbnails/normal")),
                      std::filesystem::directory_iterator()),
        1); // no temporary file left beside it

    const QImage found = cache.Find(picture, stamp, {100, 100}, true);
    EXPECT_EQ(found.size(), QSize(128, 85));
    EXPECT_TRUE(cache.Find(picture, {4321, 1700000001}, {100, 100}, true).isNull());
    EXPECT_TRUE(cache.Find(picture, {4322, 1700000000}, {100, 100}, true).isNull());
    // Too small for a larger cell: that one asks for a larger size folder.
    EXPECT_TRUE(cache.Find(picture, stamp, {200, 200}, true).isNull());

    // The cache's own files are never cached.
    const std::string inside = dir.File("cache/thumbnails/normal/own.png");
    cache.Store(inside, stamp, {100, 100}, test::PhotoLikePicture(60, 40, 2), {60, 40});
    EXPECT_FALSE(std::filesystem::exists(cache.PathFor(inside, "normal")));
}

TEST(ThumbnailCache, ThumbnailsOfOtherProgramsAreReadWithTheirOwnKeys) {
    TempDir dir;
    const ThumbnailCache cache(dir.File("thumbnails"));
    const std::string picture = dir.File("x.jpg");
    std::filesystem::create_directories(dir.File("thumbnails/large"));
    auto write = [&](const char* mtime, const char* uri) {
        QImage thumb(256, 192, QImage::Format_RGB32);
        thumb.fill(Qt::green);
        thumb.setText("Thumb::MTime", mtime);
        if (uri) thumb.setText("Thumb::URI", uri);
        ASSERT_TRUE(thumb.save(QString::fromStdString(cache.PathFor(picture, "large")), "PNG"));
    };
    const std::string uri = ThumbnailCache::FileUri(picture);
    write("1700000000", uri.c_str()); // no Thumb::Size: only the time is compared
    EXPECT_EQ(cache.Find(picture, {99, 1700000000}, {200, 150}, true).size(), QSize(256, 192));
    write("1700000000", "file:///another/file.jpg");
    EXPECT_TRUE(cache.Find(picture, {99, 1700000000}, {200, 150}, true).isNull());
    write("nonsense", nullptr);
    EXPECT_TRUE(cache.Find(picture, {99, 1700000000}, {200, 150}, true).isNull());
}

TEST(ThumbnailCache, PngKeysAreReadWithinTheirChunks) {
    QImage thumb(8, 6, QImage::Format_RGB32);
    thumb.fill(Qt::blue);
    thumb.setText("Thumb::MTime", "12345");
    thumb.setText("Thumb::Size", "678");
    thumb.setText("Thumb::URI", "file:///a%20b");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(thumb.save(&buffer, "PNG"));
    auto read = [](const QByteArray& b, PngThumbKeys& keys) {
        std::vector<uint8_t> exact(b.begin(), b.end()); // reads past it are caught
        return ReadPngThumbKeys(exact.data(), exact.size(), keys);
    };
    PngThumbKeys keys;
    ASSERT_TRUE(read(bytes, keys));
    EXPECT_EQ(keys.width, 8);
    EXPECT_EQ(keys.height, 6);
    EXPECT_EQ(keys.mtime, 12345);
    EXPECT_EQ(keys.size, 678);
    EXPECT_EQ(keys.uri, "file:///a%20b");
    // A chunk that claims more than the file holds ends the reading; a cut file keeps what
    // came before the cut.
    QByteArray liar = bytes;
    liar[8] = char(0x7f);
    EXPECT_FALSE(read(liar, keys));
    EXPECT_TRUE(read(bytes.left(40), keys));
    EXPECT_FALSE(keys.mtime);
    EXPECT_FALSE(read(bytes.left(20), keys));
}

QImage Filled(QSize size, QRgb rgb) {
    QImage p(size, QImage::Format_RGB32);
    p.fill(rgb);
    return p;
}

TEST(ThumbnailSource, TheCamerasPictureServesOnlyWhenItCoversTheCellInTheRightProportions) {
    TempDir dir;
    const ThumbnailCache cache(dir.File("thumbnails"));
    // The main picture is red, the embedded one blue: the colour tells which was read.
    // bars: the embedded picture in the main one's proportions between black bars.
    auto camera = [&](const char* name, QSize size, QSize thumb, int orientation, bool bars) {
        const std::string main = test::JpegBytes(Filled(size, qRgb(230, 0, 0)), 90);
        const QImage small = bars ? test::BetweenBars(Filled(size, qRgb(0, 0, 230)), thumb)
                                  : Filled(thumb, qRgb(0, 0, 230));
        const std::string exif = test::ExifSegment(orientation, test::JpegBytes(small));
        const std::string path = dir.File(name);
        std::ofstream(path, std::ios::binary) << main.substr(0, 2) + exif + main.substr(2);
        return path;
    };
    const struct {
        const char* what;
        QSize picture, thumb;
        int orientation;
        bool bars;
        QSize cell;
        bool blue;
        QSize size; // of the picture read: decoded ones at the cached size
        bool cached;
    } cases[] = {
        {"fits", {800, 600}, {160, 120}, 1, false, {100, 100}, true, {160, 120}, false},
        {"cell larger", {800, 600}, {160, 120}, 1, false, {200, 200}, false, {256, 192}, true},
        {"other proportions", {900, 600}, {160, 120}, 1, false, {100, 100}, false, {128, 85}, true},
        {"letterboxed", {900, 600}, {160, 120}, 1, true, {100, 100}, true, {160, 105}, false},
        {"pillarboxed", {600, 900}, {160, 120}, 1, true, {100, 100}, true, {78, 120}, false},
        {"bars, cell larger", {900, 600}, {160, 120}, 1, true, {200, 200}, false, {256, 170}, true},
        {"turned", {800, 600}, {160, 120}, 6, false, {100, 100}, true, {120, 160}, false},
        {"turned, decoded", {800, 600}, {160, 120}, 8, false, {300, 300}, false, {384, 512}, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = camera(("c" + std::to_string(n++) + ".jpg").c_str(), c.picture,
                                        c.thumb, c.orientation, c.bars);
        QImage read;
        ASSERT_TRUE(ReadThumbnail(read, path, c.cell, true, &cache)) << c.what;
        EXPECT_EQ(read.size(), c.size) << c.what;
        const QRgb centre = read.pixel(read.width() / 2, read.height() / 2);
        EXPECT_EQ(qBlue(centre) > qRed(centre), c.blue) << c.what;
        const int side = ThumbnailCache::SideFor(c.cell);
        const char* folder = side == 128 ? "normal" : side == 256 ? "large" : "x-large";
        EXPECT_EQ(std::filesystem::exists(cache.PathFor(path, folder)), c.cached) << c.what;
        if (!c.cached) continue;
        // The next visit takes the cached one, display-oriented like the decode: the file's
        // bytes are no longer read (here they are gone, its size and time kept).
        struct stat st {};
        ::stat(path.c_str(), &st);
        std::ofstream(path, std::ios::binary) << std::string(st.st_size, '\0');
        const utimbuf same{st.st_atime, st.st_mtime};
        ::utime(path.c_str(), &same);
        QImage again;
        ASSERT_TRUE(ReadThumbnail(again, path, c.cell, true, &cache));
        EXPECT_EQ(again.size(), read.size()) << c.what;
    }
    QImage none;
    EXPECT_FALSE(ReadThumbnail(none, dir.File("missing.jpg"), {100, 100}, true, &cache));
    EXPECT_TRUE(none.isNull());
}

TEST(ThumbnailSource, OrientationsShowThePictureAsTheCameraSawIt) {
    // A 2 x 1 picture: red left, blue right.
    QImage p(2, 1, QImage::Format_RGB32);
    p.setPixel(0, 0, qRgb(255, 0, 0));
    p.setPixel(1, 0, qRgb(0, 0, 255));
    const struct {
        int orientation;
        QSize size;
        QPoint red;
    } cases[] = {{1, {2, 1}, {0, 0}}, {2, {2, 1}, {1, 0}}, {3, {2, 1}, {1, 0}},
                 {4, {2, 1}, {0, 0}}, {5, {1, 2}, {0, 0}}, {6, {1, 2}, {0, 0}},
                 {7, {1, 2}, {0, 1}}, {8, {1, 2}, {0, 1}}};
    for (const auto& c : cases) {
        const QImage o = Oriented(p, c.orientation);
        ASSERT_EQ(o.size(), c.size) << c.orientation;
        EXPECT_EQ(o.pixel(c.red), qRgb(255, 0, 0)) << c.orientation;
    }
}

TEST(ThumbnailDrawing, AFileChangedSinceItWasDrawnIsReadAgain) {
    TempDir dir;
    std::vector<std::unique_ptr<Pdata>> entries;
    EntryList list;
    for (int i = 0; i < 3; ++i) {
        const std::string path = dir.File("p" + std::to_string(i) + ".png");
        test::WritePicture(path, test::PhotoLikePicture(40, 30, i + 1));
        entries.push_back(std::make_unique<Pdata>(path));
        list.Add(std::to_string(i), entries.back().get());
    }
    list.Select(1);
    ThumbnailDrawing drawing;
    drawing.Resize({300, 100});
    drawing.Begin(list, 3, FillOrder::RowByRow, true);
    while (drawing.Step()) {
    }
    EXPECT_TRUE(drawing.PathsToRead().empty());
    drawing.Begin(list, 3, FillOrder::RowByRow, true);
    EXPECT_TRUE(drawing.PathsToRead().empty()); // unchanged: all copied
    while (drawing.Step()) {
    }
    // Another picture saved under the same name, with the same time (a fast editor).
    struct stat before {};
    ::stat(entries[2]->path.c_str(), &before);
    test::WritePicture(entries[2]->path, test::PhotoLikePicture(60, 30, 9));
    const utimbuf same{before.st_atime, before.st_mtime};
    ::utime(entries[2]->path.c_str(), &same);
    drawing.Begin(list, 3, FillOrder::RowByRow, true);
    EXPECT_EQ(drawing.PathsToRead(), std::vector<std::string>{entries[2]->path});
}

} // namespace
} // namespace lumidex
