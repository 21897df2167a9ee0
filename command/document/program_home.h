// The start-up both programs share: the home directory named by --home (the directory the
// program was started in when none is named), the paths of the command line taken from where the
// user started, then the home made the working directory, so that every file the commands write
// "in the current directory" lands there, and the home locked against a second program.
#pragma once

#include <string>

#include "platform/run_control.h"

class ProgramHome {
  public:
    // Takes the start directory and resolves `given` (empty: the start directory) from it, without
    // trailing slashes. False with `error` set when the home is no directory or the start
    // directory cannot be read.
    bool resolve(const std::string& given, std::string& error);
    const std::string& startDirectory() const { return start_; }
    const std::string& path() const { return home_; }
    // A path of the command line as meant where the user started: made absolute from the start
    // directory (empty and absolute paths as they are).
    std::string fromStart(const std::string& path) const;
    // Anchors relative paths of the settings environment to the start directory, makes the home
    // the working directory and programHome. False with `error` set when it cannot work there.
    bool enter(std::string& error);
    // Takes the lock on the home's meridyn.lock, held while this object lives (after enter).
    platform::FileLock::Result lock() { return lock_.acquire(kLockName, false); }

    static constexpr const char* kLockName = "meridyn.lock";

  private:
    std::string start_, home_;
    platform::FileLock lock_;
};
