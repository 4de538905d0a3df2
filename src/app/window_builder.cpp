#include "app/window_builder.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "app/app_window.h"
#include "app/transparent_label.h"
#include "picture/picture_box.h"

namespace miaohui {

namespace {

QString qt_text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect qt_rect(const Place& place) { return {place.left, place.top, place.width, place.height}; }

// Wraps a drop-down list's own item delegate and makes every item one pixel taller.
class TallerItems : public QAbstractItemDelegate {
 public:
  TallerItems(QAbstractItemDelegate* inner, QObject* parent) : QAbstractItemDelegate(parent), inner_(inner) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    inner_->paint(painter, option, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return inner_->sizeHint(option, index) + QSize(0, 1);
  }

 private:
  QAbstractItemDelegate* inner_;  // owned by the list
};

void set_black_on_white(QWidget& widget) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  palette.setColor(QPalette::ButtonText, Qt::black);
  widget.setPalette(palette);
}

QWidget* make_control(const ControlRow& row, QWidget& window) {
  const QRect place = qt_rect(row.place);
  switch (row.kind) {
    case ControlKind::push_button: {
      auto* button = new QPushButton(qt_text(row.text), &window);
      button->setAutoDefault(false);
      button->setDefault(false);
      button->setGeometry(place);
      return button;
    }
    case ControlKind::drop_down_list: {
      auto* list = new QComboBox(&window);
      list->setEditable(false);
      for (const auto item : row.items) list->addItem(qt_text(item));
      list->setCurrentIndex(row.items.empty() ? -1 : 0);
      list->setItemDelegate(new TallerItems(list->itemDelegate(), list));
      set_black_on_white(*list);
      list->setGeometry(place);
      return list;
    }
    case ControlKind::edit_box: {
      auto* edit = new QLineEdit(qt_text(row.text), &window);
      edit->setFrame(true);
      edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      edit->setCursorPosition(0);
      edit->deselect();
      set_black_on_white(*edit);
      edit->setGeometry(place);
      return edit;
    }
    case ControlKind::transparent_label:
      return new TransparentLabel(qt_text(row.text), row.look, place, &window);
    case ControlKind::picture_box: {
      PictureBoxSettings settings;
      settings.border_style = 0;
      settings.background = button_face_colour;
      settings.display_mode = 1;
      settings.animate = true;
      auto* box = new PictureBox(settings, &window);
      box->setGeometry(place);
      return box;
    }
  }
  return nullptr;
}

void apply_settings(const WindowSettings& settings, QWidget& window) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (settings.minimize_button) flags |= Qt::WindowMinimizeButtonHint;
  if (settings.maximize_button) flags |= Qt::WindowMaximizeButtonHint;
  window.setWindowFlags(flags);
  window.setWindowTitle(qt_text(settings.title));
  window.setFixedSize(settings.client.width, settings.client.height);

  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
  window.setPalette(palette);
  window.setAutoFillBackground(true);

  int left = settings.left;
  int top = settings.top;
  if (settings.placement == Placement::centred) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->geometry();
      left = area.left() + (area.width() - settings.outer.width) / 2;
      top = area.top() + (area.height() - settings.outer.height) / 2;
    }
  }
  window.move(left, top);
}

}  // namespace

std::unique_ptr<AppWindow> build_window(const WindowDesign& design, WindowTable& table, WindowId id) {
  auto window = std::make_unique<AppWindow>(table, id);
  apply_settings(design.settings, *window);

  // Controls belong to the window (their Qt parent). Created last, the first row ends on top;
  // raising them in the same order states the stacking outright.
  for (auto row = design.controls.rbegin(); row != design.controls.rend(); ++row) {
    QWidget* control = make_control(*row, *window);
    control->setObjectName(qt_text(row->name));
    control->raise();
  }
  return window;
}

}  // namespace miaohui
