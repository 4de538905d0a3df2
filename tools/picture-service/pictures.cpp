#include "pictures.h"

#include <QBuffer>

#include <mutex>

#include "gif_writer.h"
#include "ornaments.h"

namespace miaohui {

namespace {

enum class Format { jpeg, png, gif };

Format format_of(std::string_view button) {
  if (button == "按钮14") return Format::png;
  if (button == "按钮5" || button == "按钮6" || button == "按钮8") return Format::gif;
  return Format::jpeg;
}

std::vector<std::uint8_t> encode(const QImage& image, const char* format, int quality) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format, quality)) return {};
  return {data.begin(), data.end()};
}

// Fonts and the glyph cache are shared; one picture is drawn at a time.
std::mutex drawing;

}  // namespace

PictureText picture_text(const ServiceRequest& request) {
  PictureText text;
  for (const PictureKind* kind : request.kinds) {
    text.buttons.push_back(kind->button);
    if (!text.title.isEmpty()) text.title += QStringLiteral(" · ");
    text.title += QString::fromUtf8(kind->caption.data(), static_cast<qsizetype>(kind->caption.size()));
    if (const OptionList* list = find_option_list(kind->option_list)) {
      QString label = QString::fromUtf8(list->label.data(), static_cast<qsizetype>(list->label.size()));
      if (label.endsWith(QChar(0xFF1A))) label.chop(1);  // the full-width colon
      text.options.push_back({kind->button, label, QString::fromStdString(describe_option(*list, request.option))});
    }
  }
  text.name = drawable_name(QString::fromStdString(request.name));
  text.look = request.kinds.back()->button;
  return text;
}

Picture make_picture(const ServiceRequest& request) {
  const PictureText text = picture_text(request);
  std::lock_guard lock(drawing);
  switch (format_of(text.look)) {
    case Format::png: return {encode(draw_award(text), "PNG", -1), "image/png"};
    case Format::gif: return {encode_gif(draw_confession(text), 12), "image/gif"};
    case Format::jpeg: break;
  }
  return {encode(draw_document(text), "JPEG", 85), "image/jpeg"};
}

}  // namespace miaohui
