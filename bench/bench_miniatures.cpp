// The photo strip: 16 thumbnails of 24-megapixel photos appearing, from
// the files (cold) and from the desktop's shared thumbnail cache, paging by
// one photo, and how long the window's event loop is held meanwhile; then
// the memory one 100-megapixel photo's thumbnail needs.
//   build/bin/bench_miniatures [--benchmark_repetitions=5]
#include "Lancement.h"
#include "ExifBuilder.h"
#include "app/Form1.h"
#include "photos/vignettes/ChargeurVignettes.h"
#include "photos/vignettes/PhotoOuverte.h"
#include "platform/Desktop.h"
#include "platform/PictureBox.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QLineEdit>
#include <QPainter>
#include <QRandomGenerator>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdio>
#include <malloc.h>

// What the program holds on the heap, and the most it has held since
// asked: every allocation of this process, Qt's and libjpeg's included,
// goes through these (not in a sanitizer's build, which has its own).
namespace {
std::atomic<long long> g_tenu{0}, g_pic{0};
} // namespace

#if !defined(__SANITIZE_ADDRESS__)
namespace {
void compte(long long d)
{
    const long long tenu = g_tenu.fetch_add(d, std::memory_order_relaxed) + d;
    long long pic = g_pic.load(std::memory_order_relaxed);
    while (tenu > pic && !g_pic.compare_exchange_weak(pic, tenu, std::memory_order_relaxed)) {
    }
}
} // namespace

extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void *__libc_memalign(size_t, size_t);
void __libc_free(void *);

void *malloc(size_t n)
{
    void *p = __libc_malloc(n);
    if (p)
        compte(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void *calloc(size_t n, size_t t)
{
    void *p = __libc_calloc(n, t);
    if (p)
        compte(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void *realloc(void *p, size_t n)
{
    const long long avant = p ? static_cast<long long>(malloc_usable_size(p)) : 0;
    void *q = __libc_realloc(p, n);
    if (q)
        compte(static_cast<long long>(malloc_usable_size(q)) - avant);
    else if (n == 0)
        compte(-avant);
    return q;
}
void *memalign(size_t a, size_t n)
{
    void *p = __libc_memalign(a, n);
    if (p)
        compte(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void *aligned_alloc(size_t a, size_t n)
{
    return memalign(a, n);
}
int posix_memalign(void **r, size_t a, size_t n)
{
    *r = memalign(a, n);
    return *r ? 0 : ENOMEM;
}
void free(void *p)
{
    if (p)
        compte(-static_cast<long long>(malloc_usable_size(p)));
    __libc_free(p);
}
}
#endif

namespace {

constexpr int kPhotos = 17;

QString g_cache;                         // XDG_CACHE_HOME while measuring
QStringList g_sans, g_avec;              // photos without and with an embedded preview
QString g_100mp, g_100mpProgressif;      // one photo of 100 megapixels

QByteArray jpeg(const QImage &image, int quality, bool progressif = false)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressif);
    writer.write(image);
    return buffer.data();
}

// A photo with fine grain, about as heavy to decode as a camera's (a flat
// picture would decode far too fast).
QImage grande(int l, int h)
{
    QImage image(l, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient ciel(0, 0, 0, h);
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

void videCache()
{
    QDir(g_cache).removeRecursively();
}

// The window with a base of those photos, all at the level shown.
struct Fenetre {
    explicit Fenetre(const QStringList &photos)
    {
        form.resize(2500, 1200);
        form.Form_Resize();
        for (const QString &p : photos)
            form.TabPhotos.push_back({p, 12, 0.004, 5.6, 400});
        form.NbPhotos = int(form.TabPhotos.size());
        form.TxtValeur->setText(QStringLiteral("12"));
        form.TimerMiniature->stop();
    }
    // Runs an action on the strip and the event loop until every picture is
    // there; the longest the loop was held meanwhile goes to plusLong (ms).
    void attend(const std::function<void()> &action, double &plusLong)
    {
        bool complete = false;
        QEventLoop boucle;
        const QMetaObject::Connection c = QObject::connect(&form, &kavel::Form1::miniaturesCompletes, [&] {
            complete = true;
            boucle.quit();
        });
        QElapsedTimer montre;
        qint64 dernier = 0, bloc = 0;
        QTimer tic;
        tic.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tic, &QTimer::timeout, [&] {
            bloc = std::max(bloc, montre.nsecsElapsed() - dernier);
            dernier = montre.nsecsElapsed();
        });
        tic.start(1);
        montre.start();
        action();
        bloc = std::max(bloc, montre.nsecsElapsed() - dernier);
        dernier = montre.nsecsElapsed();
        if (!complete)
            boucle.exec();
        QObject::disconnect(c);
        plusLong = std::max(plusLong, bloc / 1e6);
    }
    void oublie()
    {
        for (kavel::PictureBox *p : form.PictMiniture)
            p->setTag(QString()); // nothing drawn yet
    }
    kavel::Form1 form;
};

void strip(benchmark::State &state, const QStringList &photos, bool cache)
{
    videCache();
    Fenetre f(photos.mid(0, 16));
    double plusLong = 0;
    if (cache)
        f.attend([&] { f.form.BtnAfficheMiniature_Click(); }, plusLong);
    plusLong = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.oublie();
        if (!cache)
            videCache();
        state.ResumeTiming();
        f.attend([&] { f.form.BtnAfficheMiniature_Click(); }, plusLong);
    }
    state.counters["boucle_max_ms"] = plusLong;
    state.counters["decodages"] = benchmark::Counter(f.form.chargeur().decodages(), benchmark::Counter::kAvgIterations);
}

void paging(benchmark::State &state, const QStringList &photos)
{
    videCache();
    Fenetre f(photos);
    double plusLong = 0;
    f.attend([&] { f.form.BtnAfficheMiniature_Click(); }, plusLong);
    plusLong = 0;
    for (auto _ : state) {
        f.attend([&] { f.form.BtnPhotoApres_Click(); }, plusLong); // one new photo
        state.PauseTiming();
        videCache();
        double ignore = 0;
        f.attend([&] { f.form.BtnPhotoAvant_Click(); }, ignore);
        videCache();
        state.ResumeTiming();
    }
    state.counters["boucle_max_ms"] = plusLong;
}

// The most memory making one thumbnail held at once, above what was held
// before.
void memoire(benchmark::State &state, const QString &path)
{
    double pic = 0;
    for (auto _ : state) {
        const long long avant = g_tenu.load();
        g_pic.store(avant);
        const QImage image = kavel::chargeVignette(path, QSize(110, 73));
        benchmark::DoNotOptimize(image);
        pic = std::max(pic, double(g_pic.load() - avant) / (1024 * 1024));
        if (image.isNull())
            state.SkipWithError("no picture");
    }
    state.counters["pic_Mo"] = pic;
}

} // namespace

BENCHMARK_CAPTURE(strip, sans_apercu_froid, g_sans, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(strip, sans_apercu_cache_partage, g_sans, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(strip, avec_apercu_froid, g_avec, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(paging, sans_apercu_froid, g_sans)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(memoire, photo_100mp, g_100mp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(memoire, photo_100mp_progressive, g_100mpProgressif)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char **argv)
{
    kavel::bench::prepareFenetres();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    g_cache = dir.filePath(QStringLiteral("cache"));
    qputenv("XDG_CACHE_HOME", g_cache.toLocal8Bit()); // never the user's own thumbnails
    std::fprintf(stderr, "making %d photos of 24 megapixels and two of 100...\n", kPhotos);
    {
        const QImage image = grande(6000, 4000);
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
        std::fprintf(stderr, "%lld bytes a 24-megapixel photo\n", static_cast<long long>(sans.size()));
    }
    {
        const QImage image = grande(12240, 8160);
        for (auto [path, progressif] : {std::pair{&g_100mp, false}, std::pair{&g_100mpProgressif, true}}) {
            *path = dir.filePath(progressif ? QStringLiteral("100mp_p.jpg") : QStringLiteral("100mp.jpg"));
            QFile f(*path);
            f.open(QIODevice::WriteOnly);
            f.write(jpeg(image, 90, progressif));
        }
    }
    return kavel::bench::lance(argc, argv);
}
