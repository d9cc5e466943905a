// Writes a picture of the region window over a generated photograph, with two regions, to
// the file named (PNG); for looking at the window under Xvfb or the offscreen platform.
#include "RecordingFrame.h"
#include "TPView.h"
#include "TempDir.h"
#include "TestPictures.h"
#include "Workspace.h"

#include <QApplication>
#include <QMouseEvent>

using namespace lumidex;
using namespace lumidex::test;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    RecordingFrame frame;
    TempDir home, dir;
    Workspace ws(frame, home.path());
    Pdata entry(WritePng(dir.File("scene.png"), PhotoLikePicture(640, 480, 5)));
    TPView view(ws);
    if (!view.Open(entry)) return 1;
    view.SetRectangleArea({60, 50, 260, 200});
    QMetaObject::invokeMethod(view.findChild<QWidget*>("AddButton"), "click");
    view.SetRectangleArea({120, 90, 360, 260});
    QMetaObject::invokeMethod(view.findChild<QWidget*>("AddButton"), "click");
    view.show();
    app.processEvents();
    // The pointer near the left edge: the magnifier shows its hatching.
    QWidget* picture = view.findChild<QWidget*>("Image1");
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 120), picture->mapToGlobal(QPointF(4, 120)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
    app.processEvents();
    return view.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
