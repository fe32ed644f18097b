// The least Qt 6 program that does the countdown window's visible job: a
// frameless 256 x 145 black window with one label, in the sentence's colour
// and the plain-font build's face, rewritten from the local clock by one
// 100 ms timer. The benchmark's yardstick for the Linux programs.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <ctime>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  window.setWindowTitle("qvl baseline");
  window.setFixedSize(256, 145);
  QPalette palette;
  palette.setColor(QPalette::Window, Qt::black);
  palette.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0xFF));
  window.setPalette(palette);
  window.setAutoFillBackground(true);
  QLabel label(&window);
  label.setGeometry(8, 24, 249, 81);
  label.setWordWrap(true);
  label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont font("Arial");
  font.setPixelSize(24);
  label.setFont(font);
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    label.setText(QString("It is %1 Hours %2 Minutes  and %3 Seconds ")
                      .arg(24 - t.tm_hour)
                      .arg(60 - t.tm_min)
                      .arg(60 - t.tm_sec));
  });
  timer.start(100);
  window.show();
  return app.exec();
}
