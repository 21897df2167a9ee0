#include "display/analysis/film_plane_analysis.h"

int filmPlaneCommand(const char* word, const std::string& outputPath) {
    (void)word;
    (void)outputPath;
    return 1;
}
