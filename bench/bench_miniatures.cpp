// Refreshing a strip of 16 thumbnails of 24-megapixel photos with nothing
// drawn yet, paging it by one photo, and, for comparison, the naive way:
// each photo decoded at full size, then scaled.
//   build/bin/bench_miniatures [--benchmark_repetitions=5]
#include "ExifBuilder.h"
#include "app/Form1.h"
#include "platform/Desktop.h"
#include "platform/PictureBox.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int kPhotos = 17;

QTemporaryDir *g_dir = nullptr;
QStringList g_sans, g_avec; // photos without and with an embedded preview

QByteArray jpeg(const QImage &image, int quality)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return buffer.data();
}

// A 6000 x 4000 photo with fine grain, about as heavy to decode as a
// camera's (a flat picture would decode far too fast).
QImage grande()
{
    QImage image(6000, 4000, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient ciel(0, 0, 0, 4000);
    ciel.setColorAt(0, QColor(60, 110, 200));
    ciel.setColorAt(1, QColor(40, 120, 50));
    p.fillRect(image.rect(), ciel);
    p.end();
    auto *rng = QRandomGenerator::global();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(rng->bounded(12)) - 6;
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255), std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    return image;
}

void strip(benchmark::State &state, const QStringList &photos)
{
    kavel::Form1 form;
    form.resize(2500, 1200);
    form.Form_Resize();
    form.TimerMiniature->stop();
    for (const QString &p : photos.mid(0, 16))
        form.TabPhotos.push_back({p, 12, 0.004, 5.6, 400});
    form.NbPhotos = int(form.TabPhotos.size());
    form.TxtValeur->setText(QStringLiteral("12"));
    form.TimerMiniature->stop();
    for (auto _ : state) {
        for (kavel::PictureBox *p : form.PictMiniture)
            p->setTag(QString()); // nothing drawn yet
        form.BtnAfficheMiniature_Click();
    }
}

void paging(benchmark::State &state, const QStringList &photos)
{
    kavel::Form1 form;
    form.resize(2500, 1200);
    form.Form_Resize();
    for (const QString &p : photos)
        form.TabPhotos.push_back({p, 12, 0.004, 5.6, 400});
    form.NbPhotos = int(form.TabPhotos.size());
    form.TxtValeur->setText(QStringLiteral("12"));
    form.TimerMiniature->stop();
    form.BtnAfficheMiniature_Click();
    for (auto _ : state) {
        form.BtnPhotoApres_Click(); // one new file
        state.PauseTiming();
        form.BtnPhotoAvant_Click();
        state.ResumeTiming();
    }
}

void naif(benchmark::State &state)
{
    for (auto _ : state) {
        for (const QString &p : g_sans.mid(0, 16)) {
            QImageReader reader(p);
            const QImage full = reader.read();
            benchmark::DoNotOptimize(full.scaled(110, 73, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
    }
}

} // namespace

BENCHMARK_CAPTURE(strip, sans_apercu, g_sans)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(strip, avec_apercu, g_avec)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(paging, sans_apercu, g_sans)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(naif)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kavel::platform::setMessageBoxHandler([](QWidget *, const kavel::platform::MessageBox &) {});
    QTemporaryDir dir;
    g_dir = &dir;
    std::fprintf(stderr, "making %d photos of 24 megapixels...\n", kPhotos);
    const QImage image = grande();
    const QByteArray sans = jpeg(image, 90);
    ExifBuilder exif(false);
    exif.ifd0 = {exif.ascii(0x010F, QByteArray("Kavel\0", 6))};
    exif.exif = {exif.rational(0x829A, 1, 250), exif.rational(0x829D, 56, 10), exif.shortInline(0x8827, 400)};
    exif.preview = jpeg(image.scaled(160, 107, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), 85);
    const QByteArray avec = exif.withImage(sans);
    for (int i = 0; i < kPhotos; ++i) {
        for (auto [liste, octets, nom] : {std::tuple{&g_sans, &sans, "sans"}, std::tuple{&g_avec, &avec, "avec"}}) {
            const QString path = dir.filePath(QStringLiteral("%1_%2.jpg").arg(QLatin1String(nom)).arg(i));
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(*octets);
            *liste << path;
        }
    }
    std::fprintf(stderr, "%lld bytes a photo\n", static_cast<long long>(sans.size()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
