// Fills the command keyword table with the handlers of every subsystem linked into the program.
#pragma once

// Called once at start-up, before the document is made. Each subsystem that brings handlers adds
// its registration call here (addCommandHandler / setCommandHandler of command/command_table.h),
// in layer order, so that keywords with several handlers run them in the right order.
void registerCommandHandlers();
