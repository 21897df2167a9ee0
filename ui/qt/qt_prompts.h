// The window's answers to the prompts seam: message boxes, file choosers and the shell's small
// dialogs (pause, polar belt, About).
#pragma once

#include <QWidget>

#include "ui/core/prompts.h"

// The property by which a dialog keeps the Escape key for itself while a command runs.
inline constexpr const char* kKeepsEscapeProperty = "meridynKeepsEscape";

class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* parent) : parent_(parent) {}
    void message(const std::string& caption, const std::string& text, bool error) override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    bool askYesNoError(const std::string& caption, const std::string& text) override;
    bool askOkCancel(const std::string& caption, const std::string& text) override;
    Answer askYesNoCancel(const std::string& caption, const std::string& text) override;
    std::optional<std::string> chooseOpenFile(const std::string& caption,
                                              const std::string& filter) override;
    std::optional<std::string> chooseOpenFileIn(const std::string& caption,
                                                const std::string& filter,
                                                const std::string& folder) override;
    std::optional<std::string> chooseSaveFile(const std::string& caption,
                                              const std::string& filter,
                                              const std::string& proposed) override;
    bool pause(const std::string& note) override;
    std::optional<BeltRequest> beltDialog(const BeltRequest& preset,
                                          const std::string& refusal) override;
    void about() override;

  private:
    QWidget* parent_;
};
