// The energy view: the cell values of the last film-plane analysis as a curve over the profile
// axis, drawn by a generic one-dimensional array plot with axes, titles and range numbers.
#pragma once

#include "display/analysis/film_plane_analysis.h"

// Plots the film grid; without one, the error "Use energy command to first evaluate a detector,
// then use VIEW/ENERGY." and nothing drawn. 1 drawn, 0 not.
int energyPlot();
// Plots the energy of `count` cells over xLow..xHigh. An empty grid draws nothing.
void arrayPlot(const FilmCell* cells, int count, double xLow, double xHigh, const char* xTitle,
               const char* yTitle, const char* title, int zeroBased);
// The x, in a unit window, that centres a text of its length (counted up to 80) on 60 columns.
double centredTextX(const char* text);
