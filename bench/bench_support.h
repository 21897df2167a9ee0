// The harness of the benchmarks that run a macro through the document's command loop: quiet
// platform hooks and a scratch program home that holds the macro.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "command/messages/messages.h"
#include "platform/platform_hooks.h"

namespace bench {

// The bundle benchmarks' model: a light source, the default singlet 50 behind it and a detector
// 300 beyond the lens.
inline const char* const kSingletModel = "define/lightsource lamp\n"
                                         "define/lens singlet\n"
                                         "define/detector screen\n"
                                         "place/object lamp 0 0 -50\n"
                                         "place/object singlet 0 0 0\n"
                                         "place/object screen 0 0 300\n";

// Hooks that show nothing, never see Escape and answer every question with its default.
class QuietHooks : public platform::PlatformHooks {
  public:
    void messageBox(const std::string&, const std::string&, platform::BoxIcon) override {}
    bool askYesNo(const std::string&, const std::string&, bool d) override { return d; }
    void beep() override {}
    bool escapePending() override { return false; }
};

// One benchmark run's home: quiet hooks installed and programHome pointed at a fresh temporary
// folder, where the macro file `macroName` is to be written. On leaving, the output files are
// closed, the folder removed and the hooks withdrawn.
class MacroHome {
  public:
    explicit MacroHome(const std::string& macroName) {
        platform::setHooks(&hooks_);
        std::string pattern =
            (std::filesystem::temp_directory_path() / "meridyn-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        home_ = pattern;
        programHome = home_;
        macro_ = home_ + "/" + macroName;
    }
    ~MacroHome() {
        closeOutputFiles();
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
        platform::setHooks(nullptr);
    }
    MacroHome(const MacroHome&) = delete;
    MacroHome& operator=(const MacroHome&) = delete;

    const std::string& home() const { return home_; }
    const std::string& macro() const { return macro_; }
    // The command line that runs the macro.
    std::string macroCommand() const { return "macro/name=\"" + macro_ + "\""; }

  private:
    QuietHooks hooks_;
    std::string home_;
    std::string macro_;
};

} // namespace bench
