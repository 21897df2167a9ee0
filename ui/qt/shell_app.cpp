#include "ui/qt/shell_app.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "command/document/program_home.h"
#include "command/messages/messages.h"
#include "command/settings/settings_file.h"
#include "ui/core/shell_options.h"
#include "ui/qt/main_window.h"

namespace {

bool haveDisplay() {
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int runShell(int argc, char** argv, const std::function<void()>& registerHandlers) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = parseShellOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "meridyn: %s\n%s\n", error.c_str(), kShellUsage);
        return 2;
    }
    if (options->help) {
        std::printf("%s\n", kShellUsage);
        return 0;
    }
    if (!haveDisplay()) {
        std::fprintf(stderr, "meridyn: no display (set DISPLAY, or use meridyn-cli)\n");
        return 2;
    }
    // The home and the FILE as the console takes them: the FILE from where the user started,
    // then the home becomes the working directory, where every "current directory" file lands.
    ProgramHome home;
    if (!home.resolve(options->home, error)) {
        std::fprintf(stderr, "meridyn: %s\n", error.c_str());
        return 2;
    }
    const std::string file = home.fromStart(options->file);
    if (!home.enter(error)) {
        std::fprintf(stderr, "meridyn: %s\n", error.c_str());
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("MERIDYN");

    // One program per home, decided before anything touches its log.
    if (home.lock() != platform::FileLock::Result::Locked) {
        QMessageBox box(QMessageBox::Critical, kTooManyCaption,
                        QString::fromStdString(homeInUseText(home.path())), QMessageBox::Ok);
        box.exec();
        return 2;
    }

    registerHandlers();
    loadIniSettings();

    int status = 0;
    {
        MainWindow window;
        window.recentFiles().load(settingsFilePath());
        window.showMaximized();
        window.start(file);
        if (window.prompts().askYesNo("Guide", "Would you like to see the MERIDYN 5.0 help?"))
            window.OnHelp();
        window.focusCommandLine();
        status = app.exec();
        saveIniSettings();
        window.recentFiles().save(settingsFilePath());
    }
    closeOutputFiles();
    return status;
}
