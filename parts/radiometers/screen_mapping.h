// The mapping between the pixels of a plot and its plot coordinates: pixel = scale x plot +
// offset on each axis.
#pragma once

struct CScreenMapping {
    double xOffset = 0;
    double yOffset = 0;
    double xScale = 1;
    double yScale = 1;
    // Two pairs of plot ranges (minimum, maximum) for the x and y axes.
    double xRange[2] = {0, 100.0};
    double yRange[2] = {0, 100.0};

    double PlotX(double pixelX) const { return (pixelX - xOffset) / xScale; }
    double PlotY(double pixelY) const { return (pixelY - yOffset) / yScale; }
    double PixelX(double plotX) const { return xScale * plotX + xOffset; }
    double PixelY(double plotY) const { return yScale * plotY + yOffset; }
};
