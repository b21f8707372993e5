#include "app/Apparence.h"
#include "app/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavel"));
    kavel::appliqueApparence(app);

    kavel::Form1 form;
    form.show();
    return app.exec();
}
