// The opaque documents: orders, licences and certificates, one design a kind.
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <array>

#include "ornaments.h"
#include "pictures.h"
#include "shapes.h"

namespace miaohui {

namespace {

struct Field {
  const char* label;
  const char* value;
};

struct Look {
  std::string_view button;
  int width, height;
  QRgb paper, accent;
  Emblem emblem;
  const char* subtitle;
  const char* name_label;
  std::array<Field, 4> fields;  // a null label ends the list
  const char* seal_ring;
  const char* seal_foot;
  const char* stamp;  // nullptr: none
  bool option_names_object = false;  // the panel's caption is the option chosen (a car, a city, a country)
};

const Look looks[] = {
    {"按钮1", 1000, 750, 0xfbf3dc, 0x9a6a12, Emblem::gold_ingot, "GOLD MINING LICENCE", "采矿权人",
     {{{"开采矿种", "黄金（岩金）"}, {"生产规模", "大型 · 年产 3.6 吨"}, {"矿区面积", "12.88 平方公里"},
       {"有效期限", "长期有效"}}},
     "黄金资源开采许可专用章", "发证专用", nullptr},
    {"按钮2", 960, 720, 0xfffaf5, 0xc8102e, Emblem::sports_car, "FERRARI PURCHASE ORDER", "订购人",
     {{{"车型", "法拉利 SF90 Stradale"}, {"车身颜色", "赛道红"}, {"成交价", "¥ 7,980,000"}, {"付款方式", "全款"}}},
     "法拉利授权经销商", "销售专用章", "已付全款"},
    {"按钮3", 960, 720, 0xf7f8fb, 0x243b63, Emblem::suv, "CAYENNE PURCHASE ORDER", "订购人",
     {{{"车型", "保时捷 Cayenne Turbo GT"}, {"车身颜色", "极光蓝"}, {"成交价", "¥ 2,498,000"}, {"付款方式", "全款"}}},
     "保时捷中心销售部", "销售专用章", "已付全款"},
    {"按钮4", 960, 720, 0xf8f9fa, 0x3c4a5c, Emblem::sedan, "MERCEDES-BENZ ORDER", "订购人",
     {{{"车型", "梅赛德斯-奔驰 S 680"}, {"车身颜色", "曜岩黑"}, {"成交价", "¥ 3,180,000"}, {"付款方式", "全款"}}},
     "梅赛德斯奔驰授权经销商", "销售专用章", "已付全款"},
    {"按钮9", 960, 720, 0xf9fbf6, 0x2f6b2a, Emblem::sports_car, "PORSCHE 918 SPYDER ORDER", "订购人",
     {{{"车型", "保时捷 918 Spyder"}, {"车身颜色", "酸橙绿"}, {"成交价", "¥ 13,880,000"}, {"交车日期", "即日提车"}}},
     "保时捷中心销售部", "销售专用章", "已付全款"},
    {"按钮10", 1000, 750, 0xf6f8fc, 0x1d3b6f, Emblem::globe, "INVESTMENT IMMIGRATION APPROVAL", "申请人",
     {{{"类别", "投资移民 · 永久居留"}, {"投资金额", "US$ 5,000,000"}, {"审批结果", "批准"}, {nullptr, nullptr}}},
     "移民事务审批专用章", "审批专用", "批准", true},
    {"按钮11", 900, 620, 0xf3f8fc, 0x0d5c91, Emblem::plane, "AIRLINE TRANSPORT PILOT LICENCE", "持照人",
     {{{"执照类别", "航线运输驾驶员"}, {"准驾机型", "波音 747 · 空客 A380"}, {"飞行经历", "12,800 小时"},
       {"体检合格证", "I 级"}}},
     "民用航空驾驶员执照专用章", "执照专用", nullptr},
    {"按钮12", 1000, 750, 0xfff8ee, 0x8b1a1a, Emblem::house, "CERTIFICATE OF REAL ESTATE", "权利人",
     {{{"房屋坐落", "中央公园一号 8 栋"}, {"建筑面积", "888.88 平方米"}, {"权利性质", "商品房 · 永久产权"},
       {nullptr, nullptr}}},
     "不动产登记专用章", "登记专用", nullptr, true},
    {"按钮13", 1000, 750, 0xfffaf2, 0x8b1a1a, Emblem::sports_car, "LUXURY CAR DELIVERY CERTIFICATE", "车主",
     {{{"车辆状态", "已提车"}, {"购车方式", "全款"}, {"车牌号码", "京A·88888"}, {nullptr, nullptr}}},
     "豪华汽车交付专用章", "交付专用", "已提车", true},
    {"按钮15", 1000, 750, 0xfdf8f0, 0x7a4b1e, Emblem::house, "REAL ESTATE TRANSFER AGREEMENT", "受让方",
     {{{"房屋坐落", "海景别墅 A 栋"}, {"建筑面积", "666.66 平方米"}, {"转让价款", "¥ 1 元"}, {nullptr, nullptr}}},
     "房产交易合同专用章", "合同专用", "已签约"},
    {"按钮16", 960, 720, 0xfffcf2, 0xb07800, Emblem::excavator, "EXCAVATOR SUBSCRIPTION FORM", "认购人",
     {{{"机型", "重型挖掘机 XE950"}, {"数量", "10 台"}, {"总价", "¥ 48,000,000"}, {"交付地点", "蓝翔工地"}}},
     "工程机械销售专用章", "销售专用", "已认购"},
};

const Look& look_of(std::string_view button) {
  for (const Look& look : looks) {
    if (look.button == button) return look;
  }
  return looks[0];
}

const OptionText* option_of(const PictureText& text, std::string_view button) {
  for (const OptionText& option : text.options) {
    if (option.button == button) return &option;
  }
  return nullptr;
}

// The car of a delivery follows the car chosen.
Emblem emblem_for(const Look& look, const OptionText* option) {
  if (look.emblem != Emblem::sports_car || !option) return look.emblem;
  if (option->words == QStringLiteral("保时捷卡宴") || option->words == QStringLiteral("路虎揽胜")) return Emblem::suv;
  if (option->words == QStringLiteral("宾利欧陆") || option->words == QStringLiteral("迈巴赫S600")) return Emblem::sedan;
  return look.emblem;
}

// One emblem for each kind the request names, stacked, each over its caption.
void draw_panel(QPainter& p, const QRectF& panel, const PictureText& text, const QColor& accent) {
  QLinearGradient panel_fill(panel.topLeft(), panel.bottomLeft());
  panel_fill.setColorAt(0, QColor(255, 255, 255, 200));
  QColor tint = accent;
  tint.setAlpha(40);
  panel_fill.setColorAt(1, tint);
  p.setBrush(panel_fill);
  p.setPen(QPen(accent, 1.5));
  p.drawRoundedRect(panel, 12, 12);

  const qreal slot_h = panel.height() / static_cast<qreal>(text.buttons.size());
  for (std::size_t i = 0; i < text.buttons.size(); ++i) {
    const Look& look = look_of(text.buttons[i]);
    const OptionText* option = option_of(text, look.button);
    const QRectF slot(panel.left(), panel.top() + slot_h * static_cast<qreal>(i), panel.width(), slot_h);
    const qreal caption_h = std::min(slot.height() * 0.2, panel.height() * 0.1);
    const QRectF art = slot.adjusted(slot.width() * 0.08, slot.height() * 0.08, -slot.width() * 0.08,
                                     -caption_h - slot.height() * 0.06);
    draw_emblem(p, emblem_for(look, option), art, accent);
    const QString caption = look.option_names_object && option ? option->words : QString::fromUtf8(look.fields[0].value);
    p.setPen(accent.darker(130));
    draw_fitted_text(p, QRectF(slot.left() + 10, art.bottom(), slot.width() - 20, caption_h), caption,
                     static_cast<int>(caption_h * 0.6), static_cast<int>(caption_h * 0.3), true);
  }
}

QString serial_of(const PictureText& text) {
  const std::uint32_t h = text_hash(text.title + QChar('\n') + text.name);
  return QStringLiteral("No. %1-%2").arg(h % 9000 + 1000).arg((h / 9000) % 1000000, 6, 10, QChar('0'));
}

}  // namespace

QImage draw_document(const PictureText& text) {
  const Look& look = look_of(text.look);
  const qreal w = look.width, h = look.height;
  const QColor paper(look.paper), accent(look.accent), ink(0x2b, 0x2b, 0x2b), grey(0x6b, 0x6b, 0x6b);
  const QColor seal_red(0xd0, 0x1f, 0x25, 215);

  QImage image(look.width, look.height, QImage::Format_RGB32);
  image.fill(paper);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  const qreal edge = std::min(w, h) * 0.03;
  const QRectF frame(edge, edge, w - 2 * edge, h - 2 * edge);
  draw_guilloche(p, frame, accent);
  const QRectF rule = draw_frame(p, frame, accent, paper);
  const qreal inset = std::min(w, h) * 0.075;
  const QRectF content = frame.adjusted(inset, inset * 0.8, -inset, -inset * 0.8);

  // Title, subtitle, divider.
  p.setPen(accent);
  const QRectF title_box(content.left(), content.top(), content.width(), h * 0.105);
  draw_fitted_text(p, title_box, text.title, static_cast<int>(h * 0.085), static_cast<int>(h * 0.04), true);
  p.setPen(accent.lighter(135));
  p.setFont(cjk_font(static_cast<int>(h * 0.022), false, 135));
  const QRectF subtitle_box(content.left(), title_box.bottom(), content.width(), h * 0.035);
  p.drawText(subtitle_box, Qt::AlignCenter, QString::fromUtf8(look.subtitle));
  const qreal divider_y = subtitle_box.bottom() + h * 0.018;
  p.setPen(QPen(accent, 1.4));
  p.drawLine(QPointF(content.left() + w * 0.12, divider_y), QPointF(content.center().x() - 12, divider_y));
  p.drawLine(QPointF(content.center().x() + 12, divider_y), QPointF(content.right() - w * 0.12, divider_y));
  p.setBrush(accent);
  p.drawPath(star_path({content.center().x(), divider_y}, 8, 3.2, 4));

  // Body: the emblem in a panel on the left, the name and the fields on the right.
  const qreal body_top = divider_y + h * 0.035;
  const qreal body_bottom = content.bottom() - h * 0.1;
  const QRectF panel(content.left(), body_top, content.width() * 0.38, body_bottom - body_top);
  draw_panel(p, panel, text, accent);

  const qreal left = panel.right() + content.width() * 0.05;
  const qreal right = content.right();
  p.setPen(grey);
  p.setFont(cjk_font(static_cast<int>(h * 0.03)));
  p.drawText(QRectF(left, body_top, right - left, h * 0.045), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8(look.name_label) + QStringLiteral("："));
  const QRectF name_box(left, body_top + h * 0.045, right - left, h * 0.13);
  p.setPen(QColor(0xb0, 0x12, 0x1c));
  draw_fitted_text(p, name_box, text.name, static_cast<int>(h * 0.1), static_cast<int>(h * 0.035), true,
                   Qt::AlignLeft | Qt::AlignVCenter);
  p.setPen(QPen(accent, 2));
  p.drawLine(QPointF(left, name_box.bottom() + 2), QPointF(right, name_box.bottom() + 2));

  std::vector<std::pair<QString, QString>> rows;
  for (const OptionText& option : text.options) rows.emplace_back(option.label, option.words);
  for (const Field& field : look.fields) {
    if (field.label) rows.emplace_back(QString::fromUtf8(field.label), QString::fromUtf8(field.value));
  }
  const qreal rows_top = name_box.bottom() + h * 0.03;
  const qreal row_h = std::min(h * 0.06, (body_bottom - rows_top) / static_cast<qreal>(std::max<std::size_t>(1, rows.size())));
  const qreal label_w = (right - left) * 0.36;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const qreal y = rows_top + row_h * static_cast<qreal>(i);
    const bool chosen = i < text.options.size();
    p.setPen(grey);
    p.setFont(cjk_font(static_cast<int>(row_h * 0.5)));
    p.drawText(QRectF(left, y, label_w, row_h), Qt::AlignLeft | Qt::AlignVCenter, rows[i].first);
    p.setPen(chosen ? accent : ink);
    draw_fitted_text(p, QRectF(left + label_w, y, right - left - label_w, row_h), rows[i].second,
                     static_cast<int>(row_h * (chosen ? 0.62 : 0.52)), static_cast<int>(row_h * 0.3), chosen,
                     Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1, Qt::DotLine));
    p.drawLine(QPointF(left, y + row_h - 1), QPointF(right, y + row_h - 1));
  }

  // Foot: serial and barcode on the left, the seal and stamp on the right.
  const qreal foot_top = body_bottom + h * 0.025;
  p.setPen(grey);
  p.setFont(cjk_font(static_cast<int>(h * 0.024)));
  p.drawText(QRectF(content.left(), foot_top, content.width() * 0.5, h * 0.03), Qt::AlignLeft | Qt::AlignVCenter,
             serial_of(text));
  draw_barcode(p, QRectF(content.left(), foot_top + h * 0.035, content.width() * 0.25, h * 0.035),
               text_hash(text.name), ink);
  if (look.stamp) {
    draw_stamp(p, QPointF(left + (right - left) * 0.3, foot_top + h * 0.04), QString::fromUtf8(look.stamp), h * 0.042,
               -10, seal_red);
  }
  draw_seal(p, QPointF(right - h * 0.11, body_bottom - h * 0.0), h * 0.11, QString::fromUtf8(look.seal_ring),
            QString::fromUtf8(look.seal_foot), seal_red);

  // The inner rule at the foot breaks for a small note.
  const QString note = QStringLiteral("仅供娱乐 · 妙绘工坊");
  const QFont note_font = cjk_font(static_cast<int>(h * 0.02));
  const qreal note_w = QFontMetricsF(note_font).horizontalAdvance(note) + h * 0.04;
  const QRectF note_box(w / 2 - note_w / 2, rule.bottom() - h * 0.018, note_w, h * 0.036);
  p.fillRect(note_box, paper);
  p.setPen(grey);
  p.setFont(note_font);
  p.drawText(note_box, Qt::AlignCenter, note);
  return image;
}

}  // namespace miaohui
