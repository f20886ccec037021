// delvar-comm: the companion program of the Delvar deposition controller.
#include <QApplication>
#include <cstdio>
#include <memory>

#include "core/Version.h"
#include "windows/app/Program.h"
#include "windows/tour/ScreenshotTour.h"

int main(int argc, char** argv) {
    // The command line is read before Qt starts, so --help, --version and a usage
    // error answer without a display.
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = delvar::app::ParseProgramOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "delvar-comm: %s\n%s", error.c_str(),
                     delvar::app::ProgramUsage().c_str());
        return 2;
    }
    if (options->help || options->version) {
        std::printf("%s", options->help ? delvar::app::ProgramUsage().c_str()
                                        : delvar::app::ProgramVersion("delvar-comm").c_str());
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Delvar Comm");
    QApplication::setOrganizationName("Delvar");
    QApplication::setApplicationVersion(delvar::core::kVersionText);
    // The desktop entry's id, so the window gets the menu entry's icon and name.
    QGuiApplication::setDesktopFileName("io.github.delvar.DelvarComm");
    delvar::windows::Program program(*options);
    if (!program.Start(error)) {
        std::fprintf(stderr, "delvar-comm: %s\n", error.c_str());
        return 1;
    }
    std::unique_ptr<delvar::windows::ScreenshotTour> tour;
    if (!options->screenshots.empty()) {
        tour = program.MakeTour(options->screenshots);
        tour->Begin();
    }
    return app.exec();
}
