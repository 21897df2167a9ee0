// The rules every dialog applies to what goes into a command text: how numbers typed into fields
// (or read from a file) are written, which names may enter a command as a word, how a file name
// is carried in a "name=" value, and the longest line the reader takes whole. Each returns text
// or a verdict; none runs anything. Fields are read and written in the C locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The longest composed command that is run; the reader cuts anything longer silently.
inline constexpr std::size_t kComposedCommandLimit = 250;

// A number as a command word: "%lg" when six significant digits give the same double back,
// else the fewest digits (up to 17) that do. Never locale-dependent.
std::string fieldNumber(double value);
// The same for a value that is a 32-bit float (a binary STL coordinate): the fewest digits, at
// least six, that give the same float back.
std::string floatNumber(float value);
// "%lg" of a value the program computes itself (kept as it always was).
std::string computedNumber(double value);
// A field's text as a number in the C locale: surrounding blanks allowed, nothing else after
// the number; nullopt for an empty text, no number, or a value that is not finite.
std::optional<double> parseFieldNumber(std::string_view text);
// An integer field: as parseFieldNumber, and the value must be whole.
std::optional<long> parseFieldInteger(std::string_view text);

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
