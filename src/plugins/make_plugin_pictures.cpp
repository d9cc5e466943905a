// Writes the pictures that the region and plug-in command line test runs over: a photograph
// and a crop of it, and the photograph in each plug-in format.
#include "PluginTestPictures.h"
#include "TestPictures.h"

#include <cstdio>
#include <exception>
#include <string>

using namespace lumidex::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        const QImage scene = PhotoLikePicture(200, 150, 11);
        WritePng(dir + "scene.png", scene);
        WritePng(dir + "crop/scene-crop.png", scene.copy(50, 40, 100, 80));
        WriteWebp(dir + "formats/scene.webp", scene);
        WriteTiff(dir + "formats/scene.tif", scene);
        // GIF holds 256 colours: the scene in 6 levels a channel.
        QImage posterised = MakePicture(200, 150, [&](int x, int y) {
            QRgb c = scene.pixel(x, y);
            return qRgb(qRed(c) / 51 * 51, qGreen(c) / 51 * 51, qBlue(c) / 51 * 51);
        });
        WriteGif(dir + "formats/scene.gif", posterised);
        if (!WriteHeic(dir + "formats/scene.heic", scene))
            std::fprintf(stderr, "no HEVC encoder\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
