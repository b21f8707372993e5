// makeicon DIR: the program's icon for the desktop's icon theme, drawn by
// its own code at every size a menu asks for (DIR/NxN/apps/kavel.png), and
// the same drawing as SVG (DIR/scalable/apps/kavel.svg).
#include "app/Images.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

QString n(double v) { return QString::number(v, 'f', 2); }

// kavel::images::icone() in SVG: the rounded square, the iris drawn in a
// square of 256 scaled into the middle 80 %, and the ISO line over it.
QString iconeSvg()
{
    const double c = 256, r = c / 2 - 1;
    QString s = QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
        "<rect width=\"256\" height=\"256\" rx=\"%1\" fill=\"#181818\"/>\n"
        "<g transform=\"translate(%2 %2) scale(0.8)\">\n"
        "<circle cx=\"%3\" cy=\"%3\" r=\"%4\" fill=\"#1e1e1e\" stroke=\"#a0a0a0\" stroke-width=\"1.5\"/>\n")
        .arg(n(c * 0.18), n(c * 0.1), n(c / 2), n(r));
    auto point = [&](double a, double rayon) {
        return n(c / 2 + std::cos(a) * rayon) + QLatin1Char(',') + n(c / 2 + std::sin(a) * rayon);
    };
    for (int i = 0; i < 6; ++i) {
        const double a = i * std::numbers::pi / 3;
        s += QStringLiteral("<polygon points=\"%1 %2 %3\" fill=\"rgb(%4,%4,%5)\" stroke=\"#141414\" stroke-width=\"1\"/>\n")
                 .arg(point(a, r * 0.35), point(a + 0.6, r), point(a + 1.4, r))
                 .arg(70 + 12 * i).arg(90 + 12 * i);
    }
    s += QStringLiteral("</g>\n<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"#00ff00\" stroke-width=\"%5\"/>\n</svg>\n")
             .arg(n(c * 0.15), n(c * 0.2), n(c * 0.85), n(c * 0.8), n(c / 24));
    return s;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeicon DIR\n");
        return 2;
    }
    const QDir dossier(QString::fromLocal8Bit(argv[1]));
    for (int cote : {32, 48, 64, 128, 256}) {
        const QString apps = QStringLiteral("%1x%1/apps").arg(cote);
        if (!dossier.mkpath(apps) || !kavel::images::icone(cote).save(dossier.filePath(apps + "/kavel.png")))
            return 1;
    }
    QFile svg(dossier.filePath(QStringLiteral("scalable/apps/kavel.svg")));
    return dossier.mkpath(QStringLiteral("scalable/apps")) && svg.open(QIODevice::WriteOnly)
                   && svg.write(iconeSvg().toUtf8()) > 0
               ? 0
               : 1;
}
