#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "service_request.h"

namespace miaohui {

// The option a kind was sent, in words, beside its list's label.
struct OptionText {
  std::string_view button;
  QString label;
  QString words;
};

// The texts a picture shows, read from one request.
struct PictureText {
  QString title;                     // the kind's caption (captions, when kinds share the URL)
  QString name;                      // as drawn: decoded, made safe
  std::vector<std::string_view> buttons;  // the kinds the request names, in table order
  std::vector<OptionText> options;   // one per kind with a list
  std::string_view look;             // the button whose design draws the picture: the last kind
};

PictureText picture_text(const ServiceRequest& request);

// The documents (orders, licences, certificates), opaque.
QImage draw_document(const PictureText& text);

// The award certificate on a transparent margin.
QImage draw_award(const PictureText& text);

// The frames of a love-confession banner.
std::vector<QImage> draw_confession(const PictureText& text);

// An answer body with its content type.
struct Picture {
  std::vector<std::uint8_t> bytes;
  std::string content_type;
};

// Draws and encodes the picture for a request: JPEG for documents, PNG for the award, an
// animated GIF for the confessions. Needs a QGuiApplication; safe to call from any thread.
Picture make_picture(const ServiceRequest& request);

}  // namespace miaohui
