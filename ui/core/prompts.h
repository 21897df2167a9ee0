// The one seam through which the shell asks the user anything: boxes, questions, file choosers
// and its small dialogs. The window answers with real dialogs; tests install the scripted twin.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/core/shell_text.h"

enum class Answer { Yes, No, Cancel };

class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual void message(const std::string& caption, const std::string& text, bool error) = 0;
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
    // A Yes/No question about an input error (the error icon).
    virtual bool askYesNoError(const std::string& caption, const std::string& text) {
        return askYesNo(caption, text);
    }
    // A box with OK and Cancel; true for OK.
    virtual bool askOkCancel(const std::string& caption, const std::string& text) {
        message(caption, text, false);
        return true;
    }
    virtual Answer askYesNoCancel(const std::string& caption, const std::string& text) = 0;
    // A file to open or to save under; nullopt when cancelled.
    virtual std::optional<std::string> chooseOpenFile(const std::string& caption,
                                                      const std::string& filter) = 0;
    virtual std::optional<std::string> chooseSaveFile(const std::string& caption,
                                                      const std::string& filter,
                                                      const std::string& proposed) = 0;
    // A file to open, the chooser starting in `folder` (no current directory changes); by
    // default as chooseOpenFile.
    virtual std::optional<std::string> chooseOpenFileIn(const std::string& caption,
                                                        const std::string& filter,
                                                        const std::string& folder) {
        (void)folder;
        return chooseOpenFile(caption, filter);
    }
    // The pause dialog; true when closed with OK.
    virtual bool pause(const std::string& note) = 0;
    // The belt dialog; nullopt when cancelled. Called again while the values are refused.
    virtual std::optional<BeltRequest> beltDialog(const BeltRequest& preset,
                                                  const std::string& refusal) = 0;
    virtual void about() = 0;
};

// Answers from queues and records what was asked; an empty queue cancels (or says No).
class ScriptedPrompts : public Prompts {
  public:
    struct Asked {
        std::string kind, caption, text;
    };
    std::vector<Asked> asked;
    std::deque<bool> yesNo;
    std::deque<Answer> yesNoCancel;
    std::deque<std::optional<std::string>> files;
    std::deque<bool> pauses;
    std::deque<std::optional<BeltRequest>> belts;
    std::vector<std::string> refusals;

    void message(const std::string& caption, const std::string& text, bool error) override {
        asked.push_back({error ? "error" : "info", caption, text});
    }
    bool askYesNo(const std::string& caption, const std::string& text) override {
        asked.push_back({"yesno", caption, text});
        return pop(yesNo, false);
    }
    bool askOkCancel(const std::string& caption, const std::string& text) override {
        asked.push_back({"okcancel", caption, text});
        return true;
    }
    Answer askYesNoCancel(const std::string& caption, const std::string& text) override {
        asked.push_back({"yesnocancel", caption, text});
        return pop(yesNoCancel, Answer::Cancel);
    }
    std::optional<std::string> chooseOpenFile(const std::string& caption,
                                              const std::string& filter) override {
        asked.push_back({"open", caption, filter});
        return pop(files, std::optional<std::string>());
    }
    std::optional<std::string> chooseSaveFile(const std::string& caption,
                                              const std::string& filter,
                                              const std::string& proposed) override {
        asked.push_back({"save", caption, filter + "|" + proposed});
        return pop(files, std::optional<std::string>());
    }
    bool pause(const std::string& note) override {
        asked.push_back({"pause", "MERIDYN Pause...", note});
        return pop(pauses, true);
    }
    std::optional<BeltRequest> beltDialog(const BeltRequest& preset,
                                          const std::string& refusal) override {
        asked.push_back({"belt", "Define Polynet Radiometer", std::to_string(preset.cells)});
        if (!refusal.empty()) refusals.push_back(refusal);
        return pop(belts, std::optional<BeltRequest>());
    }
    void about() override { asked.push_back({"about", "About MERIDYN", ""}); }

    bool wasAsked(const std::string& kind) const {
        for (const auto& a : asked)
            if (a.kind == kind) return true;
        return false;
    }

  private:
    template <class T> static T pop(std::deque<T>& q, T fallback) {
        if (q.empty()) return fallback;
        T v = std::move(q.front());
        q.pop_front();
        return v;
    }
};
