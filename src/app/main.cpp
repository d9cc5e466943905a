#include "LargePages.h"
#include "SharedState.h"
#include "StartUp.h"
#include "TMain.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

int main(int argc, char** argv) {
    lumidex::StartWithLargePages(argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lumidex2");
    try {
        QStringList args = QApplication::arguments();
        args.removeFirst();
        auto program = lumidex::StartProgram(lumidex::DefaultAppDir(), args);
        program->main->show();
        int status = QApplication::exec();
        program.reset();
        return status;
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "Lumidex2", QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
