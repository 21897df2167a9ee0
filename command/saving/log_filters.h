// The three filters that turn the command log into a saved file. Each reads the log from its
// current position to its end and writes the lines it keeps to the target; the caller opens and
// closes both files and rewinds the log between uses.
//
// Every filter reads log lines whole and drops their trailing blanks (macro lines are logged
// padded to 20 characters). A query block, which the log holds as the command line carrying the
// "#$$$ QUERY ASSIGNMENT" marker, one "#$$$ name=" line per answer and an end marker line, is
// folded into one command line: the command without its "?" or "query" word, then " name=value"
// for every answer (value = the answer line's first word).
#pragma once

#include <cstdio>

// The compressed form's comments: user comment lines (beginning with '#', third character not
// '>') and noop lines; every other line is dropped, since the model is rebuilt from the settings
// and the part definitions.
void saveLogCompressed(std::FILE* log, std::FILE* target);
// The polynet command lines alone.
void saveLogPolynets(std::FILE* log, std::FILE* target);
// The complete form: every comment line ("# >" lines included) and every command line except
// those of macro, save, exit and retrieve; lines that are neither are dropped.
void saveLogComplete(std::FILE* log, std::FILE* target);
