#include "app/qt/icons.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstddef>
#include <utility>

#include "app/resources.h"

namespace qvl {

// Generated at build time from resources/*_icon.txt.
extern const unsigned char kProgramIco[];
extern const std::size_t kProgramIcoSize;
extern const unsigned char kAboutIco[];
extern const std::size_t kAboutIcoSize;
extern const unsigned char kProgramPng48[];
extern const std::size_t kProgramPng48Size;
extern const unsigned char kProgramPng256[];
extern const std::size_t kProgramPng256Size;

namespace {

QIcon IconFrom(const unsigned char* data, std::size_t size) {
  QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  QIcon icon;
  for (int i = 0; i < reader.imageCount(); ++i) {
    reader.jumpToImage(i);
    const QImage image = reader.read();
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

}  // namespace

// The .ico's 16 and 32 pixel images, and the larger ones the icon theme
// installs (the drawing scaled up by whole factors), for taskbars and
// switchers that show the icon large.
QIcon ProgramIcon() {
  static const QIcon icon = [] {
    QIcon i = IconFrom(kProgramIco, kProgramIcoSize);
    const std::pair<const unsigned char*, std::size_t> larger[] = {
        {kProgramPng48, kProgramPng48Size}, {kProgramPng256, kProgramPng256Size}};
    for (const auto& [data, size] : larger) {
      QPixmap png;
      png.loadFromData(data, static_cast<uint>(size), "PNG");
      i.addPixmap(png);
    }
    return i;
  }();
  return icon;
}

QPixmap Picture(int id, int size) {
  if (id != kAboutPicture) return {};
  static const QIcon picture = IconFrom(kAboutIco, kAboutIcoSize);
  return picture.pixmap(size);
}

}  // namespace qvl
