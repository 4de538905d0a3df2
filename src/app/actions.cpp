#include "app/actions.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <functional>
#include <string>

#include "app/app_window.h"
#include "app/window_table.h"
#include "desktop/links.h"
#include "desktop/save.h"
#include "net/http_download.h"
#include "picture/picture_box.h"
#include "picture/waiting.h"
#include "request/generate.h"
#include "request/picture_kind.h"

namespace miaohui {

namespace {

// The main window's controls as the generate action reads and writes them.
class MainWindowControls final : public PictureControls {
 public:
  explicit MainWindowControls(AppWindow& window) : window_(window) {}

  std::string name_text() override {
    const auto* edit = window_.control<QLineEdit>("姓名");
    return edit ? edit->text().toStdString() : std::string();
  }
  int selected_index(std::string_view list) override {
    const auto* combo = window_.control<QComboBox>(list);
    return combo ? combo->currentIndex() : -1;
  }
  Bytes download(const std::string& url) override {
    // Off the UI thread; windows repaint and user input waits until the action returns.
    return run_waiting_for([&url] { return http_download(url); });
  }
  void set_picture(Bytes bytes) override {
    if (auto* box = window_.control<PictureBox>("图片框1")) box->set_picture(std::move(bytes));
  }

 private:
  AppWindow& window_;
};

using Action = void (*)(AppWindow&);

struct ActionRow {
  WindowId window;
  std::string_view control;
  Action run;
};

void save_shown_picture(AppWindow& window) {
  const auto* box = window.control<PictureBox>("图片框1");
  save_picture(box ? box->get_picture() : Bytes{});
}

// Every click action but the picture kinds, which come from the kind table.
constexpr std::array<ActionRow, 5> action_rows{{
    {WindowId::welcome, "按钮1", [](AppWindow&) { open_link(group_link()); }},
    {WindowId::welcome, "按钮2", [](AppWindow&) { open_link(chat_link()); }},
    {WindowId::welcome, "按钮3", [](AppWindow& w) { w.table().enter_main_window(); }},
    {WindowId::main, "按钮7", save_shown_picture},
    {WindowId::main, "按钮18", [](AppWindow&) { open_link(chat_link()); }},
}};

// Runs one action to its end, then carries out the close requests it held back.
void bind_click(AppWindow& window, std::string_view control, std::function<void(AppWindow&)> action) {
  auto* button = window.control<QPushButton>(control);
  if (button == nullptr) return;
  QObject::connect(button, &QPushButton::clicked, &window, [&window, action = std::move(action)] {
    action(window);
    window.table().carry_out_held();
  });
}

}  // namespace

void bind_actions(AppWindow& window) {
  for (const auto& row : action_rows) {
    if (row.window == window.id()) bind_click(window, row.control, row.run);
  }
  if (window.id() != WindowId::main) return;
  for (const PictureKind& kind : picture_kinds()) {
    bind_click(window, kind.button, [&kind](AppWindow& w) {
      MainWindowControls controls(w);
      generate_picture(kind, controls);
    });
  }
}

}  // namespace miaohui
