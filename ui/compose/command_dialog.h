// RunCommandDialog without a window: looks a command path up among the define templates, asks
// the user through a CommandDialogSeam for an object name, the parameters and the reflective side,
// and composes the one command text the document then runs. The seam is the Qt dialogs in the
// program and a script in the tests.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

inline constexpr int kParameterRows = 10;

// What the parameter dialog shows and what it gives back.
struct ParameterRequest {
    int count = 0; // rows in use (0-10)
    int mode = 0;
    std::array<std::string, kParameterRows> names;
    std::string title; // the command path
    std::string objectName;
    std::array<double, kParameterRows> values{};
    bool doAll = false;
};

// The reflective-side choice: "Both", "Front (Inside)", "Back (Outside)".
enum class ReflectiveSide { Both = 0, Front = 1, Back = 2 };

class CommandDialogSeam {
  public:
    virtual ~CommandDialogSeam() = default;
    // "Enter a name for the object"; nullopt when cancelled. `refusal` (nonempty) is shown when
    // the last answer was refused; the dialog is asked again.
    virtual std::optional<std::string> askObjectName(const std::string& refusal) = 0;
    // "Parameter Input": fills the request's name, values and "Do All Objects"; false when
    // cancelled. Asked again with a refusal as above.
    virtual bool askParameters(ParameterRequest& request, const std::string& refusal) = 0;
    // "Mirror Reflective Side", opened with "Both" chosen; nullopt when cancelled.
    virtual std::optional<ReflectiveSide> askSide(int mode) = 0;
    virtual void infoBox(const std::string& text) = 0;
    virtual void errorBox(const std::string& text) = 0;
};

// What the composer reads of the program around it.
struct CommandDialogContext {
    int viewObject = 0;
    std::string viewObjectLabel; // objectLabel(viewObject)
    bool verifyTrace = false;
    bool dataOutputOn = false;
    std::string dataOutputFile;
    // Clears the part list's redefinition mark (a Metamorph that is not followed by a define).
    std::function<void()> clearRedefinitionMark;
};

// Steps 1-12 of the dialog: the command text to run, or nullopt when nothing is to run. Every
// way that runs nothing clears the redefinition mark and redefineMode. Loads defineParams.
std::optional<std::string> composeCommandDialog(int mode, const std::string& path,
                                                const CommandDialogContext& context,
                                                CommandDialogSeam& seam);
// The side suffix of a mode (2 cavities, 3 curved mirrors, 4 flat mirrors) and choice.
std::string sideSuffix(int mode, ReflectiveSide side);
// The message that keeps the parameter dialog open, or empty when the answer is good.
std::string parameterRefusal(const ParameterRequest& answer);
