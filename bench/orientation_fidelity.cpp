// How well the signature derived for another orientation predicts the signature of the
// picture really turned or mirrored. Pictures named on standard input, one path a line; each
// is turned exactly (no recompression), so that only the cell bounds differ: the last column
// and row absorb the remainder pixels, which after a turn or mirror lie on the other side.
// The same pictures cropped to sides divisible by 4 show what the remainder costs.
#include "Frame.h"
#include "Matcher.h"
#include "PictureReader.h"
#include "Signature.h"

#include <QImage>
#include <QTransform>

#include <cstdio>
#include <iostream>
#include <string>

using namespace lumidex;

namespace {

QImage Oriented(const QImage& p, Orientation o) {
    auto turn = [](const QImage& q, int degrees) {
        return q.transformed(QTransform().rotate(degrees));
    };
    switch (o) {
    case Orientation::Upright:
        return p;
    case Orientation::TurnedRight:
        return turn(p, 90);
    case Orientation::TurnedOver:
        return turn(p, 180);
    case Orientation::TurnedLeft:
        return turn(p, 270);
    case Orientation::MirroredLeftRight:
        return p.mirrored(true, false);
    case Orientation::MirroredUpDown:
        return p.mirrored(false, true);
    case Orientation::MirroredDiagonal:
        return turn(p, 90).mirrored(true, false);
    case Orientation::MirroredAntiDiagonal:
        return turn(p, 90).mirrored(false, true);
    }
    return p;
}

struct Tally {
    long pictures = 0, wrongBits = 0, knownBits = 0, cells = 0, accepted = 0;
    void Print(const char* what) const {
        if (!pictures) return;
        std::printf("%-28s %6ld  known %5.1f  wrong known bits %5.2f  cells off %5.2f  "
                    "accepted %5.3f\n",
                    what, pictures, double(knownBits) / pictures, double(wrongBits) / pictures,
                    double(cells) / pictures, double(accepted) / pictures);
    }
};

} // namespace

int main() {
    NullFrame frame;
    const MatchSettings defaults = [] {
        MatchSettings s;
        s.MatchOrientations = true;
        return s;
    }();
    Tally tally[2][kOrientations];
    std::string path;
    while (std::getline(std::cin, path)) {
        QImage full;
        if (ReadPicture(full, path) != 0) continue;
        for (int cropped = 0; cropped < 2; ++cropped) {
            QImage pic =
                cropped ? full.copy(0, 0, full.width() / 4 * 4, full.height() / 4 * 4) : full;
            Pdata e(path);
            if (ComputeSignature(pic, e, SignatureMode::WholePicture, 0, 0, 0, 0, frame) < 0)
                continue;
            for (int o = 1; o < kOrientations; ++o) {
                const Orientation way = static_cast<Orientation>(o);
                Pdata t(path);
                ComputeSignature(Oriented(pic, way), t, SignatureMode::WholePicture, 0, 0, 0, 0,
                                 frame);
                const OrientedSignature d = DeriveOrientation(e.key, e.code, way);
                Tally& y = tally[cropped][o];
                ++y.pictures;
                y.knownBits += d.knownBits;
                y.wrongBits += KeyDistance(t.key & d.known, d.key);
                y.cells += CellDistance(t.code, d.code);
                y.accepted += OrientedSignatureMatches(d, t.key, t.code, defaults);
            }
        }
    }
    const char* names[] = {"",
                           "turned right",
                           "turned over",
                           "turned left",
                           "mirrored l-r",
                           "mirrored u-d",
                           "mirrored diag",
                           "mirrored anti"};
    for (int cropped = 0; cropped < 2; ++cropped) {
        std::printf(cropped ? "sides cropped to a multiple of 4:\n" : "as they are:\n");
        for (int o = 1; o < kOrientations; ++o)
            tally[cropped][o].Print(names[o]);
    }
    return 0;
}
