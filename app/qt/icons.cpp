#include "app/qt/icons.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstddef>

#include "app/resources.h"

namespace qvl {

// Generated at build time from resources/*_icon.txt.
extern const unsigned char kProgramIco[];
extern const std::size_t kProgramIcoSize;
extern const unsigned char kAboutIco[];
extern const std::size_t kAboutIcoSize;

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

QIcon ProgramIcon() {
  static const QIcon icon = IconFrom(kProgramIco, kProgramIcoSize);
  return icon;
}

QPixmap Picture(int id, int size) {
  if (id != kAboutPicture) return {};
  static const QIcon picture = IconFrom(kAboutIco, kAboutIcoSize);
  return picture.pixmap(size);
}

}  // namespace qvl
