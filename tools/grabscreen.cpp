// grabscreen OUT.png X Y WIDTH HEIGHT: saves that rectangle of the X screen.
// Used by scripts/screenshot.sh to picture the program for the README.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: grabscreen OUT.png X Y WIDTH HEIGHT\n");
        return 2;
    }
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
        0, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
