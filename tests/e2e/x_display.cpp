#include "e2e/x_display.h"

#include <QByteArray>

#include <chrono>
#include <sstream>
#include <thread>

#include "tools/service_process.h"

namespace miaohui::test {

namespace {

using namespace std::chrono_literals;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace

VirtualDisplay::VirtualDisplay() {
  if (folder_.path().empty()) return;
  const auto number_file = folder_.path() / "display";
  SpawnOptions options;
  options.errors = folder_.path() / "xvfb.log";
  options.descriptor_three = number_file;
  server_ = std::make_unique<Process>(
      std::vector<std::string>{"Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen", "0",
                               std::to_string(width) + "x" + std::to_string(height) + "x24"},
      options);
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  std::string number;
  while (std::chrono::steady_clock::now() < deadline && server_->running()) {
    const std::string text = read_text(number_file);
    if (text.find('\n') != std::string::npos) {
      number = text.substr(0, text.find('\n'));
      break;
    }
    std::this_thread::sleep_for(20ms);
  }
  if (number.empty()) return;
  name_ = ":" + number;
  // The server has written its number; it answers once xdotool gets the screen's size.
  while (std::chrono::steady_clock::now() < deadline) {
    if (tool({"xdotool", "getdisplaygeometry"}).status == 0) return;
    std::this_thread::sleep_for(50ms);
  }
  name_.clear();
}

VirtualDisplay::~VirtualDisplay() {
  if (server_) server_->stop();
}

CommandResult VirtualDisplay::tool(std::vector<std::string> argv, const std::string& input) const {
  return run_command(argv, {{"DISPLAY", name_}}, input);
}

std::optional<std::string> VirtualDisplay::window_titled(std::string_view title) const {
  const CommandResult found = tool({"xdotool", "search", "--onlyvisible", "--name", ".*"});
  for (const std::string& window : lines_of(found.output)) {
    const CommandResult named = tool({"xdotool", "getwindowname", window});
    if (named.status == 0 && named.output == std::string(title) + "\n") return window;
  }
  return std::nullopt;
}

std::optional<QPoint> VirtualDisplay::place_of(const std::string& window) const {
  const CommandResult info = tool({"xwininfo", "-id", window});
  if (info.status != 0) return std::nullopt;
  std::optional<int> x, y;
  for (const std::string& line : lines_of(info.output)) {
    const auto value = [&line] { return std::stoi(line.substr(line.rfind(' ') + 1)); };
    if (line.find("Absolute upper-left X:") != std::string::npos) x = value();
    if (line.find("Absolute upper-left Y:") != std::string::npos) y = value();
  }
  if (!x || !y) return std::nullopt;
  return QPoint(*x, *y);
}

void VirtualDisplay::click(QPoint at) const {
  tool({"xdotool", "mousemove", std::to_string(at.x()), std::to_string(at.y()), "click", "1"});
}

void VirtualDisplay::key(const std::vector<std::string>& keys) const {
  std::vector<std::string> argv{"xdotool", "key"};
  argv.insert(argv.end(), keys.begin(), keys.end());
  tool(argv);
}

std::unique_ptr<Process> VirtualDisplay::offer_clipboard(const std::string& text) const {
  SpawnOptions options;
  options.environment = {{"DISPLAY", name_}};
  options.input = text;
  auto clipboard = std::make_unique<Process>(std::vector<std::string>{"xclip", "-quiet", "-selection", "clipboard"},
                                             options);
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline && clipboard->running()) {
    if (tool({"xclip", "-o", "-selection", "clipboard"}).output == text) return clipboard;
    std::this_thread::sleep_for(50ms);
  }
  return nullptr;
}

QImage VirtualDisplay::grab(QRect area) const {
  const std::string geometry = std::to_string(area.width()) + "x" + std::to_string(area.height()) + "+" +
                               std::to_string(area.x()) + "+" + std::to_string(area.y());
  const CommandResult shot =
      tool({"import", "-silent", "-window", "root", "-crop", geometry, "+repage", "-depth", "8", "ppm:-"});
  if (shot.status != 0) return {};
  QImage image = QImage::fromData(QByteArray(shot.output.data(), static_cast<qsizetype>(shot.output.size())), "PPM");
  if (image.size() != area.size()) return {};
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace miaohui::test
