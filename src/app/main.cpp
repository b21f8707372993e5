#include "app/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavel"));
    QApplication::setStyle(QStringLiteral("Fusion"));

    kavel::Form1 form;
    form.show();
    return app.exec();
}
