// Command templates and the shared parameter set. A template is a command path (command word and
// modifiers separated by "/"), a blank and blank-separated parameter words; a word "name=value"
// gives a default value, a bare word is a parameter without a default. The dialogs that compose
// commands, and the part constructor, split a template into the one program-wide parameter set
// (defineParams): keyword, modifiers, parameter names and value texts. Values preset with
// SetParam before a load survive it; the others take the template's defaults.
#pragma once

inline constexpr int kDefineTemplateCount = 337;
// LoadTemplate searches templates 0 .. kDefineTemplateSearchCount - 1; FillFromTemplate accepts
// numbers 0 .. kDefineTemplateLastNumber.
inline constexpr int kDefineTemplateSearchCount = 331;
inline constexpr int kDefineTemplateLastNumber = 331;

extern const char* const kDefineTemplates[kDefineTemplateCount];

class CDefineParams {
  public:
    static constexpr int kTextSlot = 21; // 20 characters and the terminator
    static constexpr int kSlots = 10;    // modifiers and parameters kept; further ones are ignored

    // Both counts and the filled flag to 0 and every parameter value emptied (names, keyword and
    // modifiers stay).
    void Clear();
    // Presets parameter value `slot` (0 to 9) to `number` written with "%lg" and sets the filled
    // flag; returns 1. A slot outside 0 to 9 changes nothing and returns 0.
    int SetParam(int slot, double number);
    // Characters first to last (inclusive) of `text` into `destination`, as many as fit, and a
    // terminator. An empty or reversed range gives the empty text.
    static void CopyRange(char (&destination)[kTextSlot], const char* text, int first, int last);
    // Splits template `number` into the set and returns 1; 0 for a number outside
    // 0 .. kDefineTemplateLastNumber (nothing changes). The filled flag is cleared after a load.
    int FillFromTemplate(int number);
    // Loads the first template (0 to 330) that begins with the whole of `text`, a text of 3 to 254
    // characters, and returns 1. Without a match both counts become 0, every parameter name and
    // value is emptied, and 0 is returned. The filled flag is cleared either way.
    int LoadTemplate(const char* text);

    char keyword[kTextSlot] = {};
    char modifiers[kSlots][kTextSlot] = {};
    char paramNames[kSlots][kTextSlot] = {};
    char paramValues[kSlots][kTextSlot] = {};
    int modifierCount = 0;
    int paramCount = 0;
    int filled = 0;

  private:
    void split(const char* text);
};

// The program's parameter set; it exists without any view.
CDefineParams& defineParamsInstance();
inline CDefineParams& defineParams = defineParamsInstance();
// Back to an empty set (tests).
void resetDefineParamsState();
