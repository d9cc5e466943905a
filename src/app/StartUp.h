#pragma once

#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace lumidex {

class TMain;

// The program's windows, created once at start-up, hidden, in their fixed order. The main
// window comes first and owns the others (they are its children in Qt's sense).
struct Program {
    std::unique_ptr<TMain> main;
    // Every window in creation order, the main window first.
    std::vector<QWidget*> windows;
};

// Creates the windows. appDir: where the program keeps its files; args: the command-line
// arguments after the program name.
std::unique_ptr<Program> StartProgram(const std::string& appDir, const QStringList& args);

// Centres a window on the mouse pointer, kept on its screen.
void PlaceAtCursor(QWidget* window);

} // namespace lumidex
