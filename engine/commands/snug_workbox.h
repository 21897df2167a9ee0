// Fitting the workbox (the model box every view fits) around the placed objects.
#pragma once

// The snug form of set/workbox: the workbox centre and half sizes become those of the box around
// every activated and placed object (light sources and axes by their reference point, polygon
// nets by the vertices of their first part, every other object by the corners of its surfaces'
// extent boxes). A half size of 0 becomes 1. Without such an object the workbox stays as it was.
void snugWorkbox();
