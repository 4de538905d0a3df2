// picture-view FILE: shows FILE in a picture box of the main window's size (576 x 544,
// display mode 1), as the program would after a download.
//
//   --mode N          display mode 0-3 (default 1)
//   --border N        border style 0-5 (default 0)
//   --background C    background 0x00BBGGRR, or 0xFF000000 for the button face (default)
//   --still           do not animate a GIF
//   --grab OUT.png    after --after milliseconds (default 1000), save what the box shows
//                     to OUT.png and quit

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "picture/picture_box.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription("Shows one picture file in a picture box.");
  parser.addHelpOption();
  parser.addPositionalArgument("file", "the picture file");
  const QCommandLineOption mode({"m", "mode"}, "display mode 0-3", "n", "1");
  const QCommandLineOption border({"b", "border"}, "border style 0-5", "n", "0");
  const QCommandLineOption background("background", "0x00BBGGRR or 0xFF000000", "colour",
                                      "0xFF000000");
  const QCommandLineOption still("still", "do not animate a GIF");
  const QCommandLineOption grab("grab", "save what the box shows and quit", "png");
  const QCommandLineOption after("after", "milliseconds before --grab", "ms", "1000");
  parser.addOptions({mode, border, background, still, grab, after});
  parser.process(app);
  if (parser.positionalArguments().size() != 1) parser.showHelp(2);

  QFile file(parser.positionalArguments().front());
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "picture-view: cannot read %s\n", qPrintable(file.fileName()));
    return 1;
  }
  const QByteArray data = file.readAll();

  miaohui::PictureBoxSettings settings;
  settings.display_mode = parser.value(mode).toInt();
  settings.border_style = parser.value(border).toInt();
  settings.background = parser.value(background).toUInt(nullptr, 0);
  settings.animate = !parser.isSet(still);

  miaohui::PictureBox box(settings);
  box.setWindowTitle(file.fileName());
  box.resize(576, 544);
  box.set_picture(miaohui::Bytes(data.begin(), data.end()));
  box.show();

  if (parser.isSet(grab)) {
    QTimer::singleShot(parser.value(after).toInt(), [&] {
      if (!box.grab().save(parser.value(grab), "PNG")) {
        std::fprintf(stderr, "picture-view: cannot write %s\n", qPrintable(parser.value(grab)));
        QCoreApplication::exit(1);
        return;
      }
      QCoreApplication::exit(0);
    });
  }
  return QApplication::exec();
}
