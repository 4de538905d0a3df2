#include "app/startup.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <array>
#include <climits>
#include <string>
#include <unistd.h>

#include "app/fatal_error.h"
#include "app/window_table.h"
#include "net/http_download.h"

namespace miaohui {

void enter_executable_folder() {
  std::array<char, PATH_MAX> path{};
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return;
  std::string exe(path.data(), static_cast<std::size_t>(length));
  const auto slash = exe.rfind('/');
  if (slash == std::string::npos) return;
  const std::string folder = slash == 0 ? "/" : exe.substr(0, slash);
  if (chdir(folder.c_str()) != 0) return;
}

void apply_application_settings() {
  QApplication::setQuitOnLastWindowClosed(false);

  QFont font = QApplication::font();
  const QString face = QStringLiteral("WenQuanYi Zen Hei");
  if (QFontDatabase::families().contains(face)) font.setFamilies({face});
  font.setPixelSize(12);
  QApplication::setFont(font);

  QIcon icon;
  for (const char* size : {"16", "32", "48", "64", "128", "256"}) {
    const QString file = QStringLiteral(":/icons/miaohui-%1.png").arg(QLatin1String(size));
    if (QFile::exists(file)) icon.addFile(file);
  }
  if (!icon.isNull()) QApplication::setWindowIcon(icon);
}

int run_program() {
  WindowTable table;
  if (!table.load_window(WindowId::welcome)) fatal_error("载入启动窗口失败", 0);
  table.message_loop();
  http_client_close();
  return 0;
}

}  // namespace miaohui
