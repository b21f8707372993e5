// JPEGs read from their blocks' means, against the full decoder, on files written by libjpeg with
// every sampling, progression and restart setting.
#include "photos/vignettes/DecodageDC.h"

#include <QPainter>
#include <QtTest>
#include <jpeglib.h>

using namespace kavel;

struct Reglage {
    int composantes; // 1 grey, 3 colour
    int h, v;        // the first component's sampling
    bool progressif;
    int redemarrage; // restart interval in MCUs, 0 for none
};
Q_DECLARE_METATYPE(Reglage)

namespace {
// A photo-like picture, gradients, edges and detail, as libjpeg writes it.
QByteArray encode(int l, int h, const Reglage &r) {
    QImage image(l, h, QImage::Format_RGB888);
    QPainter p(&image);
    QLinearGradient g(0, 0, l, h);
    g.setColorAt(0, QColor(20, 60, 200));
    g.setColorAt(1, QColor(240, 200, 30));
    p.fillRect(image.rect(), g);
    p.setBrush(QColor(200, 30, 40));
    p.drawEllipse(QRect(l / 5, h / 4, l / 3, h / 2));
    for (int x = 0; x < l; x += 24)
        p.fillRect(x, h * 3 / 4, 8, h / 4, Qt::white);
    p.end();
    if (r.composantes == 1)
        image = image.convertToFormat(QImage::Format_Grayscale8);
    jpeg_compress_struct c;
    jpeg_error_mgr erreurs;
    c.err = jpeg_std_error(&erreurs);
    jpeg_create_compress(&c);
    unsigned char *octets = nullptr;
    unsigned long taille = 0;
    jpeg_mem_dest(&c, &octets, &taille);
    c.image_width = JDIMENSION(l), c.image_height = JDIMENSION(h);
    c.input_components = r.composantes;
    c.in_color_space = r.composantes == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    c.comp_info[0].h_samp_factor = r.h, c.comp_info[0].v_samp_factor = r.v;
    c.restart_interval = JDIMENSION(r.redemarrage);
    if (r.progressif)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW ligne = const_cast<uchar *>(image.constScanLine(int(c.next_scanline)));
        jpeg_write_scanlines(&c, &ligne, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    QByteArray jpeg(reinterpret_cast<const char *>(octets), qsizetype(taille));
    std::free(octets);
    return jpeg;
}
QImage huitieme(const QByteArray &jpeg, qint64 budget = 40 << 20) {
    QBuffer b;
    b.setData(jpeg);
    b.open(QIODevice::ReadOnly);
    return jpegHuitieme(b, budget);
}
// Mean difference per channel, DC picture against the full decoding averaged over 8 x 8 blocks.
double ecart(const QImage &dc, const QByteArray &jpeg) {
    const QImage plein = QImage::fromData(jpeg).convertToFormat(QImage::Format_RGB32);
    double somme = 0;
    for (int y = 0; y < dc.height(); ++y)
        for (int x = 0; x < dc.width(); ++x) {
            int m[3] = {}, n = 0;
            for (int j = y * 8; j < std::min(y * 8 + 8, plein.height()); ++j)
                for (int i = x * 8; i < std::min(x * 8 + 8, plein.width()); ++i, ++n) {
                    const QRgb p = plein.pixel(i, j);
                    m[0] += qRed(p), m[1] += qGreen(p), m[2] += qBlue(p);
                }
            const QRgb d = dc.pixel(x, y);
            somme += std::abs(qRed(d) - m[0] / n) + std::abs(qGreen(d) - m[1] / n)
                     + std::abs(qBlue(d) - m[2] / n);
        }
    return somme / (3.0 * dc.width() * dc.height());
}
} // namespace

class TestDecodage : public QObject {
    Q_OBJECT
private slots:
    void againstTheFullDecoder_data() {
        QTest::addColumn<Reglage>("reglage"), QTest::addColumn<QSize>("taille");
        QTest::newRow("4:2:0") << Reglage{3, 2, 2, false, 0} << QSize(803, 605);
        QTest::newRow("4:2:2") << Reglage{3, 2, 1, false, 0} << QSize(640, 480);
        QTest::newRow("4:4:4") << Reglage{3, 1, 1, false, 0} << QSize(333, 201);
        QTest::newRow("4:4:0") << Reglage{3, 1, 2, false, 0} << QSize(400, 300);
        QTest::newRow("grey") << Reglage{1, 1, 1, false, 0} << QSize(517, 389);
        QTest::newRow("4:1:1") << Reglage{3, 4, 1, false, 0} << QSize(640, 480);
        QTest::newRow("restarts") << Reglage{3, 2, 2, false, 7} << QSize(803, 605);
        QTest::newRow("progressive") << Reglage{3, 2, 2, true, 0} << QSize(803, 605);
        QTest::newRow("progressive restarts") << Reglage{3, 2, 1, true, 3} << QSize(640, 472);
        QTest::newRow("progressive grey") << Reglage{1, 1, 1, true, 0} << QSize(300, 200);
    }
    void againstTheFullDecoder() {
        QFETCH(Reglage, reglage);
        QFETCH(QSize, taille);
        const QByteArray jpeg = encode(taille.width(), taille.height(), reglage);
        const QImage dc = huitieme(jpeg);
        QCOMPARE(dc.size(), QSize((taille.width() + 7) / 8, (taille.height() + 7) / 8));
        // Chroma subsampled twice over is averaged over 16 pixels, not 8.
        const double attendu = reglage.composantes == 3 && reglage.h * reglage.v > 1 ? 4.5 : 1.5;
        QVERIFY2(ecart(dc, jpeg) < attendu, qPrintable(QString::number(ecart(dc, jpeg))));
    }
    // Cut anywhere, a file gives what was read (the rest grey) or nothing.
    void damagedAndRefused() {
        for (bool progressif : {false, true}) {
            const QByteArray jpeg = encode(200, 120, {3, 2, 2, progressif, 2});
            for (qsizetype n = 0; n < jpeg.size(); n += 1 + n / 40) {
                const QImage dc = huitieme(jpeg.left(n));
                QVERIFY(dc.isNull() || dc.size() == QSize(25, 15));
            }
            QByteArray abime = jpeg;
            for (qsizetype i = jpeg.size() / 2; i < jpeg.size() - 2; i += 97)
                abime[i] = char(0x5A ^ abime[i]);
            QCOMPARE(huitieme(abime).size(), QSize(25, 15));
        }
        const QByteArray jpeg = encode(800, 800, {3, 2, 2, false, 0});
        QVERIFY(!huitieme(jpeg, 100 * 100 * 4 + 150 * 150 * 2).isNull());
        QVERIFY(huitieme(jpeg, 100 * 100 * 4).isNull());
        QByteArray arithmetique = jpeg;
        arithmetique[arithmetique.indexOf("\xFF\xC0") + 1] = char(0xC9);
        QVERIFY(huitieme(arithmetique).isNull());
        QByteArray cinq = jpeg; // sampling factors go up to 4
        cinq[cinq.indexOf("\xFF\xC0") + 11] = char(0x51);
        QVERIFY(huitieme(cinq).isNull());
        QVERIFY(huitieme(QByteArray("\x89PNG\r\n\x1a\n")).isNull());
    }
};

QTEST_MAIN(TestDecodage)
#include "tst_decodage.moc"
