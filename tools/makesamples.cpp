// makesamples FOLDER [BASE]: writes the sample photos a new user can scan at
// once, small JPEG pictures of the program's own making, each with an EXIF
// block whose exposure gives a light level from about EV -2 to EV 16. With
// BASE, also writes the photo base a scan of FOLDER would write.
#include "ExifBuilder.h"
#include "photos/BasePhotos.h"
#include "photos/exif/ExifReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <cmath>
#include <cstdio>

namespace {

struct Prise {
    const char *nom;
    double ev;       // the scene's light level
    double diaf;     // f-number
    int iso;
};

// Scenes from a moonlit night to sunlit snow.
constexpr Prise kPrises[] = {
    {"pleine_lune", -2, 2.8, 3200},   {"aurore", -1.5, 2, 1600},     {"ville_loin", 2, 2.8, 1600},
    {"fontaine", 3, 4, 1600},          {"sapin", 4, 2.8, 800},        {"trafic", 5, 4, 800},
    {"salon", 5.5, 2, 400},            {"maison", 6, 2.8, 400},       {"bureau", 7, 4, 400},
    {"vitrine", 7.5, 5.6, 800},        {"rue", 8, 2.8, 200},          {"galerie", 8.5, 4, 400},
    {"stade", 9, 2.8, 800},            {"neon", 9.5, 5.6, 400},       {"coucher", 10, 8, 100},
    {"couchant", 10.5, 5.6, 200},      {"crepuscule", 11, 8, 200},    {"nuages", 11.5, 5.6, 100},
    {"couvert", 12, 8, 100},           {"gris", 12.5, 11, 200},       {"voile", 13, 8, 100},
    {"brume", 13.5, 11, 100},          {"soleil", 14, 11, 100},       {"arc", 14.5, 8, 100},
    {"plein_soleil", 15, 16, 200},     {"plage", 15.5, 11, 100},      {"neige", 16, 16, 100},
    {"glacier", 16, 22, 200},          {"portrait", 12, 2.8, 100},    {"sport", 13, 4, 400},
    // Four at the level the program starts on (EV 11), so its strip shows photos at once.
    {"terrasse", 10.965784, 4, 100},   {"marche", 10.965784, 4, 200}, {"velo", 10.965784, 4, 400},
    {"port", 10.965784, 4, 800},
};

// The standard speeds, as exposure times in seconds, 30 s to 1/8000 s.
const double kVitesses[] = {30, 25, 20, 15, 13, 10, 8, 6, 5, 4, 3.2, 2.5, 2, 1.6, 1.3, 1, 0.8, 0.6, 0.5, 0.4, 0.3,
                            1 / 4., 1 / 5., 1 / 6., 1 / 8., 1 / 10., 1 / 13., 1 / 15., 1 / 20., 1 / 25., 1 / 30.,
                            1 / 40., 1 / 50., 1 / 60., 1 / 80., 1 / 100., 1 / 125., 1 / 160., 1 / 200., 1 / 250.,
                            1 / 320., 1 / 400., 1 / 500., 1 / 640., 1 / 800., 1 / 1000., 1 / 1250., 1 / 1600.,
                            1 / 2000., 1 / 2500., 1 / 3200., 1 / 4000., 1 / 5000., 1 / 6400., 1 / 8000.};

// The standard speed nearest to the one the scene needs, as a fraction.
void vitesse(const Prise &p, quint32 &num, quint32 &den)
{
    const double ideal = p.diaf * p.diaf * 100 / (std::exp2(p.ev) * p.iso);
    double meilleure = kVitesses[0];
    for (double v : kVitesses)
        if (std::abs(std::log2(v / ideal)) < std::abs(std::log2(meilleure / ideal)))
            meilleure = v;
    if (meilleure >= 0.3) {
        num = quint32(std::lround(meilleure * 10));
        den = 10;
    } else {
        num = 1;
        den = quint32(std::lround(1 / meilleure));
    }
}

QImage scene(const Prise &p)
{
    QImage image(120, 80, QImage::Format_RGB32);
    const double clarte = std::clamp((p.ev + 3) / 20, 0.0, 1.0); // 0 at night, 1 in sunlit snow
    const auto teinte = [clarte](int r, int g, int b) {
        return QColor(int(r * (0.15 + 0.85 * clarte)), int(g * (0.15 + 0.85 * clarte)), int(b * (0.2 + 0.8 * clarte)));
    };
    QPainter painter(&image);
    QLinearGradient ciel(0, 0, 0, 50);
    ciel.setColorAt(0, teinte(70, 110, 200));
    ciel.setColorAt(1, teinte(170, 200, 240));
    painter.fillRect(0, 0, 120, 50, ciel);
    painter.fillRect(0, 50, 120, 30, teinte(60, 120, 60));
    painter.setPen(Qt::NoPen);
    painter.setBrush(p.ev < 4 ? QColor(230, 230, 200) : QColor(255, 230, 120)); // moon or sun
    painter.drawEllipse(QPointF(90, 18), 8, 8);
    painter.setPen(p.ev < 8 ? Qt::white : Qt::black);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.drawText(QRect(4, 56, 112, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("EV %1").arg(p.ev, 0, 'f', p.ev == std::floor(p.ev) ? 0 : 1));
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: makesamples FOLDER [BASE]\n");
        return 2;
    }
    std::vector<kavel::TypePhoto> base;
    const QString dossier = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dossier);
    int rang = 0;
    for (const Prise &p : kPrises) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(75);
        if (!writer.write(scene(p))) {
            std::fprintf(stderr, "makesamples: %s\n", qPrintable(writer.errorString()));
            return 1;
        }
        quint32 num = 0, den = 1;
        vitesse(p, num, den);
        const bool motorola = rang % 2 == 1; // both byte orders, as cameras write them
        ExifBuilder exif(motorola);
        exif.ifd0 = {exif.ascii(0x010F, QByteArray("Kavel\0", 6)), exif.ascii(0x0110, QByteArray("Exemple\0", 8))};
        exif.exif = {exif.rational(0x829A, num, den), exif.rational(0x829D, quint32(std::lround(p.diaf * 10)), 10),
                     exif.shortInline(0x8827, quint16(p.iso))};
        QFile out(QStringLiteral("%1/%2_%3.jpg").arg(dossier).arg(++rang, 2, 10, QLatin1Char('0')).arg(QLatin1String(p.nom)));
        if (!out.open(QIODevice::WriteOnly) || out.write(exif.withImage(buffer.data())) < 0) {
            std::fprintf(stderr, "makesamples: cannot write %s\n", qPrintable(out.fileName()));
            return 1;
        }
        out.close();
        kavel::ExifReader reader;
        reader.AnalysePhoto(out.fileName());
        base.push_back({QFileInfo(out.fileName()).absoluteFilePath(), reader.ValEV, reader.ValSpeed, reader.ValDiaf,
                        reader.ValIso});
    }
    QString erreur;
    if (argc == 3 && !kavel::EcritBasePhotos(QString::fromLocal8Bit(argv[2]), base, &erreur)) {
        std::fprintf(stderr, "makesamples: %s\n", qPrintable(erreur));
        return 1;
    }
    return 0;
}
