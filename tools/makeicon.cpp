// makeicon FILE.png SIZE: the program's icon, drawn by its own code.
#include "app/Images.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: makeicon FILE.png SIZE\n");
        return 2;
    }
    return kavel::images::icone(std::atoi(argv[2])).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
