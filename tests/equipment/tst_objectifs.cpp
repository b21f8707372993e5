// The lens catalogue reader on real files: the shipped catalogues, the
// shapes the format allows, and files it must survive.
#include "equipment/Objectifs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

Q_DECLARE_METATYPE(std::vector<float>)

namespace {

const QByteArray kEntete = "Nom,FocalMini,FocalMaxi,DiafMini,DiafMiniZoom,DiafMaxi,DiafMaxiZoom,Stabilisateur\r\n";

} // namespace

class TestObjectifs : public QObject {
    Q_OBJECT
private slots:
    void shippedCatalogues_data();
    void shippedCatalogues();
    void layouts_data();
    void layouts();
    void leadingNumberApertures();
    void malformed_data();
    void malformed();
    void tooManyRecords();
    void notAFile();
    void catalogueNames_data();
    void catalogueNames();

private:
    QString write(const QByteArray &bytes);
    QTemporaryDir m_dir;
    int m_files = 0;
};

QString TestObjectifs::write(const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("Objectifs%1.txt").arg(++m_files));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestObjectifs::shippedCatalogues_data()
{
    QTest::addColumn<QString>("maker");
    QTest::newRow("Canon") << "Canon";
    QTest::newRow("Nikon") << "Nikon";
}

// Real lenses: enough of them, primes and zooms, stabilised ones, and every
// record sane for the chart.
void TestObjectifs::shippedCatalogues()
{
    QFETCH(QString, maker);
    const QString path = QStringLiteral(KAVEL_DATA_DIR "/Objectifs") + maker + QStringLiteral(".txt");
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n")); // CR LF throughout

    const std::vector<TypeObjectif> lenses = LireCatalogue(path);
    QCOMPARE(int(lenses.size()), bytes.count("\r\n") - 1); // every line after the header is a lens
    QVERIFY(lenses.size() >= 25);
    int primes = 0, kitZooms = 0, stabilised = 0;
    for (const TypeObjectif &o : lenses) {
        QVERIFY2(o.FocalMini > 0 && o.FocalMini <= o.FocalMaxi, qPrintable(o.Nom));
        QVERIFY2(o.DiafMini >= 1 && o.DiafMini <= o.DiafMiniZoom, qPrintable(o.Nom));
        QVERIFY2(o.DiafMaxi > o.DiafMini && o.DiafMaxiZoom >= o.DiafMaxi, qPrintable(o.Nom));
        primes += o.FocalMini == o.FocalMaxi;
        kitZooms += o.DiafMini < o.DiafMiniZoom;
        stabilised += o.Stabilisateur == 1;
    }
    QVERIFY(primes >= 5);
    QVERIFY(kitZooms >= 5);
    QVERIFY(stabilised >= 5);
    if (maker == "Canon") {
        const auto kit = std::find_if(lenses.begin(), lenses.end(),
                                      [](const TypeObjectif &o) { return o.Nom == "EF-S 18-55mm F3.5-5.6"; });
        QVERIFY(kit != lenses.end());
        QCOMPARE(kit->FocalMini, 18.f);
        QCOMPARE(kit->FocalMaxi, 55.f);
        QCOMPARE(kit->DiafMini, 3.5f);
        QCOMPARE(kit->DiafMiniZoom, 5.6f);
        QCOMPARE(kit->DiafMaxi, 22.f);
    }
}

void TestObjectifs::layouts_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::vector<float>>("values");
    const std::vector<float> kit{18, 55, 3.5f, 5.6f, 22, 38, 0};
    QTest::newRow("one line") << QByteArray("\"EF-S 18-55mm\",18,55,3.5,5.6,22,38,0\r\n") << "EF-S 18-55mm" << kit;
    QTest::newRow("no final line end") << QByteArray("\"EF-S 18-55mm\",18,55,3.5,5.6,22,38,0") << "EF-S 18-55mm"
                                       << kit;
    QTest::newRow("spread over lines") << QByteArray("\"EF-S 18-55mm\"\r\n18,55\r\n3.5,5.6,\r\n22,38\r\n0\r\n")
                                       << "EF-S 18-55mm" << kit;
    QTest::newRow("commas in quotes") << QByteArray("\"Zoom, le 18-55, kit\",18,55,3.5,5.6,22,38,0\r\n")
                                      << "Zoom, le 18-55, kit" << kit;
    QTest::newRow("spaces before values") << QByteArray("  \"Kit\",  18, 55,\t3.5, 5.6 , 22,38 , 0\r\n") << "Kit"
                                          << kit;
    QTest::newRow("unquoted name") << QByteArray("Kit 18-55,18,55,3.5,5.6,22,38,0\r\n") << "Kit 18-55" << kit;
    QTest::newRow("line feeds only") << QByteArray("\"Kit\",18,55,3.5,5.6,22,38,0\n") << "Kit" << kit;
    QTest::newRow("blank lines after") << QByteArray("\"Kit\",18,55,3.5,5.6,22,38,0\r\n\r\n\r\n") << "Kit" << kit;
    QTest::newRow("Latin-1 name") << QByteArray("\"Objectif \xe0 bascule\",45,45,2.8,2.8,32,32,1\r\n")
                                  << QString::fromUtf8("Objectif à bascule")
                                  << std::vector<float>{45, 45, 2.8f, 2.8f, 32, 32, 1};
}

void TestObjectifs::layouts()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, name);
    QFETCH(std::vector<float>, values);
    const std::vector<TypeObjectif> lenses = LireCatalogue(write(kEntete + body));
    QCOMPARE(lenses.size(), size_t(1));
    const TypeObjectif &o = lenses.front();
    QCOMPARE(o.Nom, name);
    QCOMPARE((std::vector<float>{o.FocalMini, o.FocalMaxi, o.DiafMini, o.DiafMiniZoom, o.DiafMaxi, o.DiafMaxiZoom,
                                 float(o.Stabilisateur)}),
             values);
}

// The full apertures take the number their value starts with.
void TestObjectifs::leadingNumberApertures()
{
    const std::vector<TypeObjectif> lenses
        = LireCatalogue(write(kEntete + "\"A\",18,55,3.5x,f5.6,22,38,0\r\n\"B\",50,50,1.8,1.8,22,22,0\r\n"));
    QCOMPARE(lenses.size(), size_t(2));
    QCOMPARE(lenses[0].DiafMini, 3.5f);
    QCOMPARE(lenses[0].DiafMiniZoom, 0.f);
}

void TestObjectifs::malformed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kept");
    const QByteArray good = "\"Bon\",18,55,3.5,5.6,22,38,0\r\n";
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("header only") << kEntete << 0;
    QTest::newRow("header without line end") << kEntete.chopped(2) << 0;
    QTest::newRow("record cut short") << kEntete + good + "\"Coupé\",18,55,3.5" << 1;
    QTest::newRow("quote never closed") << kEntete + good + "\"Coupé,18,55,3.5,5.6,22,38,0\r\n" << 1;
    QTest::newRow("word for a focal length") << kEntete + good + "\"Mot\",dix-huit,55,3.5,5.6,22,38,0\r\n" + good
                                             << 1;
    QTest::newRow("word for the narrowest aperture") << kEntete + good + "\"Mot\",18,55,3.5,5.6,f22,38,0\r\n" << 1;
    QTest::newRow("empty value") << kEntete + good + "\"Vide\",18,,3.5,5.6,22,38,0\r\n" << 1;
    QTest::newRow("stabiliser 2") << kEntete + good + "\"Deux\",18,55,3.5,5.6,22,38,2\r\n" + good << 1;
    QTest::newRow("stabiliser -1") << kEntete + good + "\"Moins\",18,55,3.5,5.6,22,38,-1\r\n" << 1;
    QTest::newRow("number beyond single") << kEntete + good + "\"Grand\",1e300,55,3.5,5.6,22,38,0\r\n" << 1;
    QTest::newRow("hexadecimal") << kEntete + good + "\"Hex\",0x12,55,3.5,5.6,22,38,0\r\n" << 1;
    QByteArray binary("\xff\xd8\xff\xe0");
    binary += QByteArray(6, '\0') + "JFIF\r\n" + QByteArray(5, ',') + "\x89PNG\r\n\x1a\n" + QByteArray(3, '\0');
    QTest::newRow("not text") << binary << 0;
}

void TestObjectifs::malformed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kept);
    const std::vector<TypeObjectif> lenses = LireCatalogue(write(bytes));
    QCOMPARE(int(lenses.size()), kept);
    for (const TypeObjectif &o : lenses)
        QCOMPARE(o.Nom, "Bon");
}

void TestObjectifs::tooManyRecords()
{
    QByteArray bytes = kEntete;
    for (int i = 0; i < 300; ++i)
        bytes += "\"L" + QByteArray::number(i) + "\",50,50,1.8,1.8,22,22,0\r\n";
    const std::vector<TypeObjectif> lenses = LireCatalogue(write(bytes));
    QCOMPARE(int(lenses.size()), kMaxObjectifs);
    QCOMPARE(lenses.back().Nom, "L200");

    // A name far longer than any lens name is cut, not stored whole.
    const std::vector<TypeObjectif> longName
        = LireCatalogue(write(kEntete + '"' + QByteArray(1 << 20, 'x') + "\",50,50,1.8,1.8,22,22,0\r\n"));
    QCOMPARE(longName.size(), size_t(1));
    QVERIFY(longName[0].Nom.size() <= 1024);
}

void TestObjectifs::notAFile()
{
    QVERIFY(LireCatalogue(m_dir.filePath(QStringLiteral("absent.txt"))).empty());
    QVERIFY(LireCatalogue(QString()).empty());
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("ObjectifsDossier.txt")));
    QVERIFY(LireCatalogue(m_dir.filePath(QStringLiteral("ObjectifsDossier.txt"))).empty());
}

void TestObjectifs::catalogueNames_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("file");
    QTest::newRow("Canon") << "Canon 300D, 350D, 400D" << "/d/ObjectifsCanon.txt";
    QTest::newRow("Nikon") << "Nikon D40" << "/d/ObjectifsNikon.txt";
    QTest::newRow("more to come") << QString::fromUtf8("...D'autres boitiers bientôt. :-)")
                                  << "/d/Objectifs...D'autres.txt";
    QTest::newRow("no space") << "Leica" << "/d/Objectifs.txt";
    QTest::newRow("a path is no maker") << "../../etc/passwd x" << "";
    QTest::newRow("backslash") << "..\\x y" << "";
}

void TestObjectifs::catalogueNames()
{
    QFETCH(QString, body);
    QFETCH(QString, file);
    QCOMPARE(cheminCatalogue(QStringLiteral("/d"), body), file);
}

QTEST_GUILESS_MAIN(TestObjectifs)
#include "tst_objectifs.moc"
