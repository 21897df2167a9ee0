// The cube-corner prism of Design > Prism > CornerCube...: a hexagonal base and six facets that
// meet in the apex, built as polynet commands. The lines are issued one by one; the builder stops
// at the first one that reports an error.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The command lines for a prism of half width `halfWidth` and index `index`, in order.
std::vector<std::string> cubeCornerCommands(const std::string& name, double halfWidth,
                                            double index);

// Runs the lines through `run`, which returns true when the command reported an error; stops
// at the first such line. Returns the number of lines run.
int issueCubeCorner(const std::vector<std::string>& lines,
                    const std::function<bool(const std::string&)>& run);
