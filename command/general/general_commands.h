// The general commands that belong to the command language itself: echo in all its forms
// (line echo, parsed-command echo, the alias list, ray and surface highlighting), read and
// photometry. Each returns 1 when done and 0 when it rejected the command.
#pragma once

int echoCommand();
// read and photometry are accepted and only say that they do nothing.
int readc();
int photomc();

// Puts echo, read and photometry into the keyword table and connects the sun to the settings.
void registerGeneralCommands();
