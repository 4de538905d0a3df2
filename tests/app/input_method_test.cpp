// Chinese input: Qt finds the fcitx5 and IBus input-method plugins, and text an input method
// composes and commits reaches 姓名 and, from there, the request URL.
#include <QCoreApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QPluginLoader>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/app_window.h"
#include "app/loopback_service.h"
#include "app/window_table.h"

namespace miaohui {
namespace {

// What Qt's input-context factory reads from each plugin it finds: the keys that
// QT_IM_MODULE selects and whether the library loads into this Qt.
struct InputContextPlugin {
  QString file;
  QStringList keys;
  bool loads = false;
  QString error;
};

std::vector<InputContextPlugin> input_context_plugins() {
  std::vector<InputContextPlugin> found;
  for (const QString& base : QCoreApplication::libraryPaths()) {
    const QDir dir(base + QStringLiteral("/platforminputcontexts"));
    for (const QString& name : dir.entryList({QStringLiteral("*.so")}, QDir::Files)) {
      QPluginLoader loader(dir.filePath(name));
      const QJsonObject meta = loader.metaData();
      if (meta.value(QStringLiteral("IID")).toString() !=
          QStringLiteral("org.qt-project.Qt.QPlatformInputContextFactoryInterface.5.1")) {
        continue;
      }
      InputContextPlugin plugin;
      plugin.file = loader.fileName();
      for (const auto& key : meta.value(QStringLiteral("MetaData")).toObject().value(QStringLiteral("Keys")).toArray()) {
        plugin.keys << key.toString().toLower();
      }
      QObject* instance = loader.instance();
      plugin.loads = instance != nullptr && instance->inherits("QPlatformInputContextPlugin");
      plugin.error = loader.errorString();
      found.push_back(plugin);
    }
  }
  return found;
}

TEST(InputMethodPlugins, Fcitx5AndIbusAreFoundAndLoad) {
  const auto plugins = input_context_plugins();
  for (const char* key : {"fcitx5", "ibus"}) {
    SCOPED_TRACE(key);
    const auto plugin = std::find_if(plugins.begin(), plugins.end(),
                                     [&](const InputContextPlugin& p) { return p.keys.contains(key); });
    ASSERT_NE(plugin, plugins.end()) << "no input-context plugin answers QT_IM_MODULE=" << key
                                     << " under " << QCoreApplication::libraryPaths().join(':').toStdString()
                                     << " (scripts/setup installs fcitx5-frontend-qt6)";
    EXPECT_TRUE(plugin->loads) << plugin->file.toStdString() << ": " << plugin->error.toStdString();
  }
}

struct CompositionCase {
  const char* initial;     // 姓名 before the input method starts
  bool select_all;         // the user selected the old name first
  const char* preedit;     // what the input method shows while composing
  const char* commit;      // what it commits
  const char* name;        // 姓名 afterwards
  const char* encoded;     // the name as the request URL carries it
};

const std::vector<CompositionCase> composition_cases = {
    {"", false, "zhang san", "张三", "张三", "%E5%BC%A0%E4%B8%89"},
    {"墨汀QQ3816059471", true, "zhangsan", "张三", "张三", "%E5%BC%A0%E4%B8%89"},
    {"李", false, "si", "四", "李四", "%E6%9D%8E%E5%9B%9B"},
};

class Composition : public testing::Test {
 protected:
  void SetUp() override {
    setenv("http_proxy", service.proxy_url().c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    ASSERT_TRUE(table.load_window(WindowId::main));
    window = table.window(WindowId::main);
    name = window->control<QLineEdit>("姓名");
    ASSERT_NE(name, nullptr);
  }
  void TearDown() override { unsetenv("http_proxy"); }

  test::LoopbackService service;
  WindowTable table;
  AppWindow* window = nullptr;
  QLineEdit* name = nullptr;
};

TEST_F(Composition, CommittedTextArrivesInTheNameAndTheUrl) {
  service.answer({});
  for (const auto& c : composition_cases) {
    SCOPED_TRACE(c.commit);
    name->setText(QString::fromUtf8(c.initial));
    if (c.select_all) name->selectAll();
    name->setFocus();

    // While composing, the preedit is shown but is not yet part of the name.
    const QString preedit = QString::fromUtf8(c.preedit);
    QInputMethodEvent composing(preedit, {{QInputMethodEvent::Cursor, static_cast<int>(preedit.size()), 1, {}}});
    QCoreApplication::sendEvent(name, &composing);
    EXPECT_EQ(name->text(), c.select_all ? QString() : QString::fromUtf8(c.initial));

    QInputMethodEvent committing;
    committing.setCommitString(QString::fromUtf8(c.commit));
    QCoreApplication::sendEvent(name, &committing);
    EXPECT_EQ(name->text().toStdString(), c.name);

    window->control<QPushButton>("按钮4")->click();
    ASSERT_FALSE(service.targets().empty());
    EXPECT_EQ(service.targets().back(), std::string("http://host-a.test/bc/toutu.php?id=&name=") + c.encoded);
  }
}

}  // namespace
}  // namespace miaohui
