// The window's own pictures, drawn here at 16 pixels: one for every toolbar button (by the path
// of its entry) and one for every ObjectBox image index (the object type code - 1; the root and
// the surfaces have theirs).
#pragma once

#include <QIcon>
#include <string>

// The picture of the entry of that path ("&View>Type>X", "#toolbar>" and a prompt); a null icon
// for an entry without one.
QIcon toolPicture(const std::string& path);
// Whether the entry of that path has a picture.
bool hasToolPicture(const std::string& path);

// ObjectBox images.
inline constexpr int kObjectPictureCount = 20;
inline constexpr int kRootPicture = 15;
inline constexpr int kSurfacePicture = 6;
// The image of that index (0 to 19); out of range: the picture of an object of unknown kind.
QIcon objectPicture(int index);
