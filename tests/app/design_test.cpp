// Both windows as they open, control by control, against the designs written out here.
#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QAbstractItemView>

#include <gtest/gtest.h>

#include "app/app_window.h"
#include "app/transparent_label.h"
#include "app/window_table.h"
#include "picture/picture_box.h"

namespace miaohui {
namespace {

enum Kind { button, list, edit, label, box };

struct Expected {
  const char* name;
  Kind kind;
  int left, top, width, height;
  const char* text;  // caption, label text, initial edit text; for a list its items joined by "|"
};

// In the order of the designs, the first on top.
const std::vector<Expected> welcome_expected = {
    {"按钮3", button, 232, 144, 88, 40, "进入装逼"},
    {"按钮2", button, 136, 144, 88, 40, "联系墨汀"},
    {"透明标签3", label, 72, 104, 208, 16, "加群没反应请多加几次，或者联系墨汀"},
    {"按钮1", button, 40, 144, 88, 40, "点击加群"},
    {"透明标签2", label, 48, 56, 248, 40, "每天更新撸 现金 零食 实物 红包 流量等活动"},
    // Shown on one line: the seven CR LF pairs at its end draw nothing.
    {"透明标签1", label, -32, 8, 368, 48, "    欢迎加入墨汀线报群号码：946018257 "},
};

const std::vector<Expected> main_expected = {
    {"按钮18", button, 688, 496, 88, 32, "联系墨汀"},
    {"组合框5", list, 672, 152, 104, 20, "美国|日本|澳洲"},
    {"透明标签8", label, 592, 152, 72, 24, "投资移民："},
    {"按钮17", button, 688, 296, 88, 32, "房产协议生成"},
    {"按钮16", button, 592, 296, 88, 32, "挖掘机认购单"},
    {"按钮15", button, 592, 256, 88, 32, "房产协议生成"},
    {"按钮14", button, 688, 216, 88, 32, "搞笑奖状生成"},
    {"组合框4", list, 672, 128, 104, 20, "吃屎能手|天下第一笨|拉屎冠军|最有女人味奖|全球帅哥之一|绝种好男人"},
    {"透明标签7", label, 592, 128, 72, 24, "搞笑奖状生成："},
    {"组合框3", list, 672, 104, 104, 20, "宾利欧陆|迈巴赫S600|兰博基尼|奥迪R8|保时捷卡宴|路虎揽胜"},
    {"透明标签6", label, 592, 104, 72, 24, "豪车提车生成："},
    {"按钮13", button, 592, 216, 88, 32, "豪车提车生成"},
    {"按钮12", button, 688, 176, 88, 32, "房产证"},
    {"组合框2", list, 672, 80, 104, 20, "北京|上海|广州|深圳"},
    {"透明标签5", label, 592, 80, 72, 24, "房产证所在地："},
    {"透明标签4", label, 592, 56, 72, 24, "楼宇表白内容："},
    {"组合框1", list, 672, 56, 104, 20, "嫁给我吧|来娶我吧|我爱你|我喜欢你"},
    {"按钮11", button, 688, 456, 88, 32, "飞机员驾驶证"},
    {"按钮10", button, 688, 256, 88, 32, "投资移民生成"},
    {"按钮9", button, 688, 336, 88, 32, "保时捷订单"},
    {"按钮8", button, 592, 176, 88, 32, "楼宇表白"},
    {"透明标签2", label, 576, 544, 216, 24, "保存的图片会自动保存到桌面"},
    {"按钮7", button, 592, 496, 88, 32, "保存"},
    {"按钮6", button, 688, 416, 88, 32, "帅哥表白"},
    {"按钮5", button, 592, 456, 88, 32, "美女表白"},
    {"按钮4", button, 688, 376, 88, 32, "奔驰订单"},
    {"按钮3", button, 592, 376, 88, 32, "卡宴订单"},
    {"透明标签1", label, 584, 24, 40, 32, "姓名："},
    {"按钮2", button, 592, 416, 88, 32, "法拉利订单"},
    {"按钮1", button, 592, 336, 88, 32, "金矿许可证"},
    {"姓名", edit, 632, 24, 144, 24, "墨汀QQ3816059471"},
    {"图片框1", box, 8, 8, 576, 544, ""},
};

struct ExpectedLook {
  const char* window_and_name;
  QColor colour;
  int pixel_size;  // 12 is the window's font
  int flags;
};

constexpr int single = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;

const std::vector<ExpectedLook> looks = {
    {"welcome 透明标签1", QColor(255, 0, 0), 20, single},
    {"welcome 透明标签2", QColor(255, 0, 0), 20, single},
    {"welcome 透明标签3", QColor(0, 0, 0), 12, single},
    {"main 透明标签1", QColor(0, 0, 0), 14, single},
    {"main 透明标签2", QColor(0, 0, 255), 16, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextDontClip},
    {"main 透明标签4", QColor(0, 0, 0), 12, single},
    {"main 透明标签5", QColor(0, 0, 0), 12, single},
    {"main 透明标签6", QColor(255, 0, 0), 12, single},
    {"main 透明标签7", QColor(0, 0, 0), 12, single},
    {"main 透明标签8", QColor(0, 0, 0), 12, single},
};

QString items_of(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items.join('|');
}

class Designs : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(table.load_window(WindowId::welcome));
    ASSERT_TRUE(table.load_window(WindowId::main));
  }
  AppWindow& window(WindowId id) { return *table.window(id); }
  AppWindow& window_named(const std::string& which) {
    return window(which == "welcome" ? WindowId::welcome : WindowId::main);
  }

  WindowTable table;
};

void expect_controls(AppWindow& window, const std::vector<Expected>& expected) {
  // Every child widget is a control of the design, stacked bottom to top in reverse order.
  QStringList bottom_to_top;
  for (QObject* child : window.children()) {
    if (child->isWidgetType()) bottom_to_top << child->objectName();
  }
  QStringList design_reversed;
  for (auto row = expected.rbegin(); row != expected.rend(); ++row) design_reversed << QString::fromUtf8(row->name);
  EXPECT_EQ(bottom_to_top, design_reversed);

  for (const auto& row : expected) {
    SCOPED_TRACE(row.name);
    const QRect place(row.left, row.top, row.width, row.height);
    const QString text = QString::fromUtf8(row.text);
    QWidget* control = window.control<QWidget>(row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->isVisible());
    EXPECT_TRUE(control->isEnabled());
    switch (row.kind) {
      case button: {
        auto* b = qobject_cast<QPushButton*>(control);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->geometry(), place);
        EXPECT_EQ(b->text(), text);
        EXPECT_FALSE(b->autoDefault());
        EXPECT_FALSE(b->isDefault());
        EXPECT_TRUE(b->focusPolicy() & Qt::TabFocus);
        break;
      }
      case list: {
        auto* c = qobject_cast<QComboBox*>(control);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->geometry(), place);
        EXPECT_EQ(items_of(*c), text);
        EXPECT_FALSE(c->isEditable());
        EXPECT_EQ(c->currentIndex(), 0);
        EXPECT_TRUE(c->focusPolicy() & Qt::TabFocus);
        break;
      }
      case edit: {
        auto* e = qobject_cast<QLineEdit*>(control);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->geometry(), place);
        EXPECT_EQ(e->text(), text);
        EXPECT_EQ(e->cursorPosition(), 0);
        EXPECT_FALSE(e->hasSelectedText());
        EXPECT_FALSE(e->isReadOnly());
        EXPECT_EQ(e->echoMode(), QLineEdit::Normal);
        EXPECT_TRUE(e->hasFrame());
        break;
      }
      case label: {
        auto* l = qobject_cast<TransparentLabel*>(control);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->design_rect(), place);
        EXPECT_TRUE(l->geometry().contains(place)) << "the widget holds its design rectangle";
        EXPECT_EQ(l->text(), text);
        EXPECT_EQ(l->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(l->testAttribute(Qt::WA_TransparentForMouseEvents));
        break;
      }
      case box: {
        auto* p = qobject_cast<PictureBox*>(control);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->geometry(), place);
        EXPECT_TRUE(p->get_picture().empty());
        EXPECT_EQ(p->focusPolicy(), Qt::NoFocus);
        break;
      }
    }
  }
}

TEST_F(Designs, WelcomeWindowControls) { expect_controls(window(WindowId::welcome), welcome_expected); }

TEST_F(Designs, MainWindowControls) { expect_controls(window(WindowId::main), main_expected); }

TEST_F(Designs, WindowSettings) {
  AppWindow& welcome = window(WindowId::welcome);
  EXPECT_EQ(welcome.windowTitle(), QString::fromUtf8("墨汀qq3816059471"));
  EXPECT_EQ(welcome.size(), QSize(348, 209));
  EXPECT_EQ(welcome.minimumSize(), welcome.maximumSize());
  EXPECT_EQ(welcome.frameGeometry().topLeft(), QPoint(50, 50));
  EXPECT_TRUE(welcome.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(welcome.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(welcome.windowFlags() & Qt::WindowCloseButtonHint);

  AppWindow& main = window(WindowId::main);
  EXPECT_EQ(main.windowTitle(), QString::fromUtf8("妙绘工坊 墨汀QQ3816059471"));
  EXPECT_EQ(main.size(), QSize(783, 572));
  EXPECT_EQ(main.minimumSize(), main.maximumSize());
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(main.frameGeometry().topLeft(), QPoint((screen.width() - 789) / 2, (screen.height() - 598) / 2));
  EXPECT_FALSE(main.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(main.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(main.windowFlags() & Qt::WindowCloseButtonHint);

  for (AppWindow* w : {&welcome, &main}) {
    EXPECT_EQ(w->font().pixelSize(), 12);
    if (QFontDatabase::families().contains("WenQuanYi Zen Hei")) {
      EXPECT_EQ(w->font().family(), "WenQuanYi Zen Hei");
    }
    EXPECT_EQ(w->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(w->parent(), nullptr);
  }
}

TEST_F(Designs, LabelLooks) {
  for (const auto& look : looks) {
    SCOPED_TRACE(look.window_and_name);
    const std::string which = look.window_and_name;
    const auto space = which.find(' ');
    auto* l = window_named(which.substr(0, space)).control<TransparentLabel>(which.substr(space + 1));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->colour(), look.colour);
    EXPECT_EQ(l->font().pixelSize(), look.pixel_size);
    EXPECT_EQ(l->font().weight(), QFont::Normal);
    EXPECT_FALSE(l->font().italic());
    EXPECT_EQ(l->draw_flags(), look.flags);
  }
}

TEST_F(Designs, ListItemsAreOnePixelTaller) {
  auto* list = window(WindowId::main).control<QComboBox>("组合框3");
  ASSERT_NE(list, nullptr);
  QComboBox plain(&window(WindowId::main));
  for (int i = 0; i < list->count(); ++i) plain.addItem(list->itemText(i));
  for (int row = 0; row < list->count(); ++row) {
    EXPECT_EQ(list->view()->sizeHintForRow(row), plain.view()->sizeHintForRow(row) + 1) << row;
  }
}

TEST_F(Designs, EnterClicksNoButton) {
  for (WindowId id : {WindowId::welcome, WindowId::main}) {
    for (auto* b : window(id).findChildren<QPushButton*>()) {
      QSignalSpy clicks(b, &QPushButton::clicked);
      b->setFocus();
      QTest::keyClick(b, Qt::Key_Return);
      QTest::keyClick(b, Qt::Key_Enter);
      EXPECT_EQ(clicks.count(), 0) << b->objectName().toStdString();
    }
  }
  EXPECT_TRUE(table.alive(WindowId::welcome));
  EXPECT_TRUE(table.alive(WindowId::main));
}

// Rows of the image that hold pixels close to a colour, within the rectangle.
std::pair<int, int> ink_rows(const QImage& image, const QRect& area, QColor colour) {
  int first = -1;
  int last = -1;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) < 90 && std::abs(c.green() - colour.green()) < 90 &&
          std::abs(c.blue() - colour.blue()) < 90) {
        if (first < 0) first = y;
        last = y;
        break;
      }
    }
  }
  return {first, last};
}

TEST_F(Designs, WelcomeHeadingStaysOnOneLineDespiteLineBreaks) {
  const QImage shot = window(WindowId::welcome).grab().toImage();
  // The heading's band, 8 to 55: one line of 20-pixel text centred on row 32.
  const auto [first, last] = ink_rows(shot, QRect(0, 8, 348, 48), QColor(255, 0, 0));
  ASSERT_GE(first, 0) << "the heading is drawn in its band";
  EXPECT_LE(last - first, 24);
  EXPECT_NEAR((first + last) / 2.0, 32.0, 4.0);

  // Its four leading spaces bring its first character whole into the window.
  int leftmost = -1;
  for (int x = 0; x < 348 && leftmost < 0; ++x) {
    for (int y = 8; y < 56; ++y) {
      const QColor c = shot.pixelColor(x, y);
      if (c.red() > 160 && c.green() < 110 && c.blue() < 110) {
        leftmost = x;
        break;
      }
    }
  }
  EXPECT_GE(leftmost, 4) << "nothing of the heading is cut off at the left edge";
}

TEST_F(Designs, LabelTextRunsPastItsRectangle) {
  const QImage shot = window(WindowId::welcome).grab().toImage();
  // 透明标签2 ends at 296; its text is longer and goes on to the window's edge.
  const auto [first, last] = ink_rows(shot, QRect(300, 56, 48, 40), QColor(255, 0, 0));
  EXPECT_GE(first, 0) << "red text right of the label's rectangle";
}

TEST_F(Designs, SaveHintIsDrawnAboveThePictureBoxCorner) {
  const QImage shot = window(WindowId::main).grab().toImage();
  // 透明标签2 starts 8 pixels inside the picture box's lower right corner (576..583, 544..551).
  const auto [first, last] = ink_rows(shot, QRect(576, 544, 8, 8), QColor(0, 0, 255));
  EXPECT_GE(first, 0) << "blue text inside the picture box's corner";
  // And the whole hint sits in one line from the top of its rectangle.
  const auto [top, bottom] = ink_rows(shot, QRect(576, 540, 207, 32), QColor(0, 0, 255));
  EXPECT_GE(top, 544);
  EXPECT_LE(bottom, 544 + 20);
}

}  // namespace
}  // namespace miaohui
