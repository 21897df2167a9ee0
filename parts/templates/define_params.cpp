#include "parts/templates/define_params.h"

#include <cstring>

#include "command/text/number_text.h"

void CDefineParams::Clear() {
    modifierCount = 0;
    paramCount = 0;
    filled = 0;
    for (auto& value : paramValues) value[0] = '\0';
}

int CDefineParams::SetParam(int slot, double number) {
    if (slot < 0 || slot >= kSlots) return 0;
    std::string text = formatCText("%lg", number);
    CopyRange(paramValues[slot], text.c_str(), 0, static_cast<int>(text.size()) - 1);
    filled = 1;
    return 1;
}

void CDefineParams::CopyRange(char (&destination)[kTextSlot], const char* text, int first,
                              int last) {
    int n = 0;
    if (text && first >= 0) {
        int length = static_cast<int>(std::strlen(text));
        if (last >= length) last = length - 1;
        for (int i = first; i <= last && n < kTextSlot - 1; ++i) destination[n++] = text[i];
    }
    destination[n] = '\0';
}

void CDefineParams::split(const char* text) {
    modifierCount = 0;
    paramCount = 0;
    int i = 0;
    // The keyword: up to the first blank or "/".
    while (text[i] && text[i] != ' ' && text[i] != '/') ++i;
    CopyRange(keyword, text, 0, i - 1);
    // The modifiers: "/"-separated words up to the first blank.
    if (text[i] == '/') {
        ++i;
        while (true) {
            int start = i;
            while (text[i] && text[i] != ' ' && text[i] != '/') ++i;
            if (i > start && modifierCount < kSlots)
                CopyRange(modifiers[modifierCount++], text, start, i - 1);
            if (text[i] != '/') break;
            ++i;
        }
    }
    // The parameter words.
    while (true) {
        while (text[i] == ' ') ++i;
        if (!text[i]) break;
        int start = i;
        while (text[i] && text[i] != ' ') ++i;
        if (paramCount >= kSlots) continue;
        int slot = paramCount++;
        if (!filled) paramValues[slot][0] = '\0';
        int equals = -1;
        for (int k = start; k < i; ++k)
            if (text[k] == '=') equals = k;
        if (equals < 0) {
            CopyRange(paramNames[slot], text, start, i - 1);
            continue;
        }
        CopyRange(paramNames[slot], text, start, equals - 1);
        if (!filled || paramValues[slot][0] == '\0')
            CopyRange(paramValues[slot], text, equals + 1, i - 1);
    }
}

int CDefineParams::FillFromTemplate(int number) {
    if (number < 0 || number > kDefineTemplateLastNumber) return 0;
    split(kDefineTemplates[number]);
    filled = 0;
    return 1;
}

int CDefineParams::LoadTemplate(const char* text) {
    std::size_t length = text ? std::strlen(text) : 0;
    if (length >= 3 && length <= 254) {
        for (int k = 0; k < kDefineTemplateSearchCount; ++k) {
            if (std::strncmp(kDefineTemplates[k], text, length) == 0) return FillFromTemplate(k);
        }
    }
    modifierCount = 0;
    paramCount = 0;
    for (int k = 0; k < kSlots; ++k) {
        paramNames[k][0] = '\0';
        paramValues[k][0] = '\0';
    }
    filled = 0;
    return 0;
}

CDefineParams& defineParamsInstance() {
    static CDefineParams params;
    return params;
}

void resetDefineParamsState() {
    defineParamsInstance() = CDefineParams{};
}
