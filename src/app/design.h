#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace miaohui {

// A window design as plain data: the window's settings and its controls in the design's
// order, the first row on top. One builder (window_builder.h) turns any design into a window.

struct Place {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Extent {
  int width = 0;
  int height = 0;
};

enum class ControlKind { push_button, drop_down_list, edit_box, transparent_label, picture_box };

enum class LabelLines {
  single_centred,  // one line, centred vertically; line breaks in the text do not break it
  wrap_from_top,   // word wrap over several lines, starting at the top
};

// How a transparent label draws its text.
struct LabelLook {
  std::uint32_t colour = 0;      // 0x00BBGGRR
  int pixel_height = 0;          // character height; 0 takes the window's font
  bool centred = false;          // horizontal alignment: centred, else left
  LabelLines lines = LabelLines::single_centred;
};

struct ControlRow {
  std::string_view name;
  ControlKind kind;
  Place place;
  std::string_view text;                     // caption, label text or initial edit text
  std::span<const std::string_view> items;   // drop-down list items, in order
  LabelLook look;                            // transparent labels only
};

enum class Placement {
  stored_place,  // the frame opens at the stored place
  centred,       // the frame opens centred on the screen by its outer size
};

struct WindowSettings {
  std::string_view title;
  Extent outer;    // frame and title bar included
  Extent client;   // what the program sets; the window manager adds the frame
  int left = 0;    // stored place of the frame
  int top = 0;
  Placement placement = Placement::stored_place;
  bool minimize_button = false;
  bool maximize_button = false;
};

struct WindowDesign {
  WindowSettings settings;
  std::span<const ControlRow> controls;
};

// Colour of the buttons' face, from the application palette, in place of a fixed value.
inline constexpr std::uint32_t button_face_colour = 0xFF000000;

}  // namespace miaohui
