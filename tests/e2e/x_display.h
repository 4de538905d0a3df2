#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/process.h"

namespace miaohui::test {

// An Xvfb of its own (-noreset, no TCP) on the first free display number, which Xvfb finds
// itself by trying (-displayfd), and the X tools run on it: xdotool, xwininfo, xclip and
// ImageMagick's import. No window manager: a window's place is its client area's place.
class VirtualDisplay {
 public:
  static constexpr int width = 1024, height = 768;

  VirtualDisplay();
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  bool ready() const { return !name_.empty(); }
  const std::string& name() const { return name_; }  // ":N"

  CommandResult tool(std::vector<std::string> argv, const std::string& input = {}) const;

  // The visible window whose title is exactly title. Every visible window is asked, because
  // xdotool's name search ignores case and misses a window whose title is in _NET_WM_NAME only
  // (an open drop-down list's).
  std::optional<std::string> window_titled(std::string_view title) const;
  std::optional<QPoint> place_of(const std::string& window) const;  // client area on the screen

  void click(QPoint at) const;
  void key(const std::vector<std::string>& keys) const;  // xdotool key names: "ctrl+v", "Down"
  // Offers text on the clipboard for as long as the returned xclip runs (in the foreground,
  // ended by its PID when dropped); nullptr when the clipboard does not hold the text.
  std::unique_ptr<Process> offer_clipboard(const std::string& text) const;

  QImage grab(QRect area) const;  // null when import fails

 private:
  TemporaryFolder folder_;
  std::unique_ptr<Process> server_;
  std::string name_;
};

}  // namespace miaohui::test
