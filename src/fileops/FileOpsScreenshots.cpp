// Pictures of the file command windows: lumidex2-fileops-screenshots FOLDER.
#include "FileOpsTestFixture.h"
#include "TPathChange.h"
#include "TQueryDialog.h"
#include "TRenameDlg.h"
#include "TUnlinkedData.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>

using namespace lumidex;

namespace {
void Save(QWidget& w, const QString& file) {
    w.show();
    QApplication::processEvents();
    w.grab().save(file);
    w.hide();
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]) + "/";
    TQueryDialog query;
    CollisionQuery q;
    q.source = "/home/user/Pictures/2002/holiday.jpg";
    q.destination = "/home/user/Keep/holiday.jpg";
    q.sourceInfo = {true, false, false, 104857, 1041379200, 0, 0};
    q.destinationInfo = {true, false, false, 98304, 1009843200, 0, 0};
    q.proposedName = "holiday_1.jpg";
    q.proposal = Collision::OverWrite;
    query.PrepareQuery(q);
    Save(query, dir + "TQueryDialog.png");
    TRenameDlg rename;
    rename.Fill("holiday", ".jpg", "File already Exists!");
    Save(rename, dir + "TRenameDlg.png");
    TPathChange path;
    path.SetFolders("/media/old/Pictures/", "/media/new/Pictures/");
    Save(path, dir + "TPathChange.png");
    test::FileOpsFixture f;
    for (const char* p : {"/media/old/Pictures/a.jpg", "/media/old/Pictures/2002/b.jpg"})
        f.Add(p, 1);
    TUnlinkedData unlinked(f.parts);
    unlinked.Search();
    Save(unlinked, dir + "TUnlinkedData.png");
    return 0;
}
