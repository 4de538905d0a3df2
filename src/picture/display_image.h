#pragma once

// The decoded picture in the form the box paints: opaque, already blended over the box's
// background, so that a paint only scales it.

#include <QImage>
#include <cstdint>

#include "picture/decode.h"

namespace miaohui {

// The marker that stands for the button face of the application palette.
inline constexpr std::uint32_t button_face_marker = 0xFF000000;

// A design colour 0x00BBGGRR (or the marker) as the colour it paints.
QRgb background_rgb(std::uint32_t colour);

// Writes image into target (Format_RGB32, the image's size) with every pixel blended over
// background: a/255 * picture + (1 - a/255) * background, truncated toward zero.
void blend_into(const Image& image, QRgb background, QImage& target);

// A new opaque picture for image; a null QImage when image is empty or memory cannot be had.
QImage make_display_image(const Image& image, QRgb background);

}  // namespace miaohui
