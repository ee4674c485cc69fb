// Looks at what the X display shows, for the real-window test:
//   x11_screenshot FILE.png      saves the whole screen
//   x11_screenshot --pixel X Y   prints the colour at one point as RRGGBB

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    if (argc == 2)
        return screen.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "--pixel") == 0) {
        const QColor colour = screen.toImage().pixelColor(std::atoi(argv[2]), std::atoi(argv[3]));
        std::printf("%02X%02X%02X\n", colour.red(), colour.green(), colour.blue());
        return 0;
    }
    std::fprintf(stderr, "usage: %s FILE.png | --pixel X Y\n", argv[0]);
    return 2;
}
