// The rules every dialog applies to what goes into a command text: which names may enter a
// command as a word, how a file name is carried in a "name=" value, and the longest line the
// reader takes whole. Each returns text or a verdict; none runs anything. Numbers are written
// and read by the program's one number helper (command/text/number_text.h).
#pragma once

#include <string>
#include <string_view>

// The longest composed command that is run; the reader cuts anything longer silently.
inline constexpr std::size_t kComposedCommandLimit = 250;

// A name that may enter a command as a word: a letter, then letters, digits, "_" or "-", at most
// `maxLength` characters.
bool isCommandName(std::string_view name, std::size_t maxLength);
// An object field: such a name or an object number (digits only).
bool isObjectField(std::string_view text, std::size_t maxLength = 20);
// The message that keeps a name field's dialog open.
std::string commandNameRefusal(std::string_view field, std::size_t maxLength);

// A file name as the value of "/filename=": as it stands when it is a plain name (letters,
// digits, ".", "_", "-"), else between double quotes with each quote written twice.
std::string fileNameValue(const std::string& name);

// The refusal of a number field outside [low, high] (or no number at all).
std::string rangeRefusal(double low, double high);
