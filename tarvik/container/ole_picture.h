// Picture objects made from bitmap files, for the host to assign to a control's
// picture properties.
#pragma once

#include <oaidl.h>

namespace tarvik {

// The picture's IDispatch, a reference the caller owns; null, after the message
// the library shows, when the file is not a readable .BMP file.
IDispatch* LoadOlePicture(const char* fileName);

}  // namespace tarvik
