// Emptying the model for a new document.
#pragma once

// Deletes every defined object (each reported as the delete command reports it, its alias
// removed with it), drops any alias left over, then deletes spots.dat and rays.dat.
void clearAllObjects();
