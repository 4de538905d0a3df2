#pragma once

#include <QImage>

#include <cstdint>
#include <span>
#include <vector>

namespace miaohui {

// Encodes frames of one size as a GIF89a that loops for ever, each frame shown delay_cs
// hundredths of a second. All frames share one palette of their 256 most frequent colours
// (at 5 bits a channel); any other colour takes the nearest of them. Empty on failure.
std::vector<std::uint8_t> encode_gif(std::span<const QImage> frames, int delay_cs);

}  // namespace miaohui
