// The body catalogue and the student's lens file read and written back, the narrowest apertures.
#include "equipment/CatalogueBoitiers.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace kavel;

namespace {
QString decrit(const TypeBoitier &b) { // texts, then numbers: -1 for an unknown flash
    return QStringList{b.Marque, b.Modele, b.Monture, b.Source}.join('|')
           + QString::asprintf("|%d %g %g %g %g %g %g %g %g %g", b.Annee, b.Recadrage, b.VitesseMax,
                               b.VitesseFlash.value_or(-1), b.IsoMini, b.IsoMaxi, b.FocaleMini,
                               b.FocaleMaxi, b.DiafMini, b.DiafMiniZoom);
}
QString decrit(const TypeObjectif &o) {
    return o.Nom + QString::asprintf("|%g|%g|%g|%g|%g|%g|%d", o.FocalMini, o.FocalMaxi, o.DiafMini,
                                     o.DiafMiniZoom, o.DiafMaxi, o.DiafMaxiZoom, o.Stabilisateur);
}
QString decrit(const LigneRejetee &r) { return QString::number(r.numero); }
template <typename T> QString decrit(const std::vector<T> &v) {
    QStringList l;
    for (const T &x : v) l << decrit(x);
    return l.join(" / ");
}
const QString kAB = "A|B|||0 0 1 -1 2 3 0 0 0 0", kCD = "C|D|||0 0 4 -1 5 6 0 0 0 0";
const QByteArray kEntete = "Marque,Modele,VitesseMax,IsoMini,IsoMaxi\n";
} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString ecrit(const QByteArray &octets) {
        QFile f(m_dir.filePath("f.csv"));
        return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size() ? f.fileName() : "";
    }

private slots:
    void lire_data(); void lire(); void limites(); void ecritureBoitiers();
    void mesObjectifs(); void ecritureObjectifs(); void message();
    void estimations(); void corpus();
};

void TestCatalogue::lire_data() {
    QTest::addColumn<QByteArray>("fichier");
    QTest::addColumn<QString>("lus");
    QTest::addColumn<QString>("rejetees"); // their line numbers
    // A line of the standard columns rejected, each for a reason of its own; the next one read.
    for (const char *l : {",B,,,,1,,1,1,,,,,", "A,\" \",,,,1,,1,1,,,,,", "A,B,,,,1,,0,1,,,,,",
                          "A,B,,,,1,,3,1,,,,,", "A,B,,,\"1,5\",1,,1,2,,,,,", "A,B,,,,1,-1,1,2,,,,,",
                          "A,B,1.5,,,1,,1,1,,,,,", "A,B,,,,1,,1,1", "A\"a\",B,,,,1,,1,1,,,,,",
                          "A,B,,,,1,,1,1,,,,,\"S\"x", "A,\xe9,,,,1,,1,1,,,,,"})
        QTest::newRow(l) << texteBoitiers({}) + l + "\nC,D,,,,4,,5,6,,,,,\n" << kCD << "2";
    QTest::newRow("columns in another order, one unknown")
        << QByteArray("Source,IsoMaxi,Pays,Modele,IsoMini,Marque,VitesseMax\n"
                      "x,3200,JP,EOS,100,Canon,8000\n")
        << "Canon|EOS||x|0 0 8000 -1 100 3200 0 0 0 0" << "";
    QTest::newRow("BOM, CR LF, blanks, a lone CR, quoted names, no last line end")
        << QByteArray("\xEF\xBB\xBF\"Marque\", Modele ,VitesseMax,IsoMini,IsoMaxi\r\n"
                      "\r\n A ,\t\"B\" , 1,2 , 3 \r\n \t\r\r\nC,D,4,5,6")
        << kAB + " / " + kCD << "";
    QTest::newRow("a quoted CR LF keeps the line numbers")
        << kEntete + "A,\"B\r\nb\",1,2,3\r\nx\r\nC,D,4,5,6\n"
        << "A|B\r\nb|||0 0 1 -1 2 3 0 0 0 0 / " + kCD << "4";
    QTest::newRow("quotes not closed within 64 KiB")
        << kEntete + "A,\"B,1,2,3\n" + QByteArray(65530, 'x') + "\nC,D,4,5,6\nE,\"F\n" << kCD
        << "2 / 3 / 5";
    QTest::newRow("no IsoMaxi column: unreadable, every line kept")
        << QByteArray("Marque,Modele,VitesseMax,IsoMini\nA,B,1,2\n") << "" << "1 / 2";
    QTest::newRow("empty") << QByteArray() << "" << "";
}
void TestCatalogue::lire() {
    QFETCH(QByteArray, fichier);
    const LectureBoitiers l = LireBoitiers(ecrit(fichier));
    QVERIFY(l.existe);
    QTEST(decrit(l.boitiers), "lus");
    QTEST(decrit(l.rejetees), "rejetees");
}
// A line too long keeps its first 64 KiB, lines past the 100,000th are not read, a pipe neither.
void TestCatalogue::limites() {
    const QByteArray longue(70000, 'x');
    const LectureBoitiers l = LireBoitiers(ecrit(kEntete + longue + QByteArray(99'998, '\n')
                                                 + "A,B,1,2,3\nC,D,4,5,6\n"));
    QCOMPARE(decrit(l.boitiers), kAB);
    QCOMPARE(decrit(l.rejetees), "2");
    QCOMPARE(l.rejetees.front().octets, longue.left(64 * 1024));
    const QString tube = m_dir.filePath("tube"); // not a file: nothing waits on it
    QCOMPARE(::mkfifo(tube.toLocal8Bit().constData(), 0600), 0);
    QVERIFY(!LireBoitiers(tube).existe);
    QVERIFY(!LireMesObjectifs(tube).existe);
}
void TestCatalogue::ecritureBoitiers() {
    const std::vector<TypeBoitier> b = {
        {"Zeiss, AG", "Ikon \"M\"", 1932, " M", 1.5, 1000, {}, 100, 1e5, 0, 0, 0, 0, "a\nb"},
        {"Sony", "RX", 0, "", 0, 2000, 0, 125, 6400, 10.4, 37, 1.8, 4.9, "é"}};
    const QByteArray texte = texteBoitiers(b, {{7, "x,\"y"}});
    QCOMPARE(texte, "Marque,Modele,Annee,Monture,Recadrage,VitesseMax,VitesseFlash,IsoMini,IsoMaxi,"
                    "FocaleMini,FocaleMaxi,DiafMini,DiafMiniZoom,Source\n\"Zeiss, AG\",\"Ikon \"\"M"
                    "\"\"\",1932,\" M\",1.5,1000,,100,100000,,,,,\"a\nb\"\nSony,RX,,,,2000,0,125,"
                    "6400,10.4,37,1.8,4.9,\xc3\xa9\nx,\"y\n");
    const LectureBoitiers l = LireBoitiers(ecrit(texte));
    QCOMPARE(texteBoitiers(l.boitiers, l.rejetees), texte);
}
// One lens a line, blanks skipped; a line that holds none, for any reason, is kept aside.
void TestCatalogue::mesObjectifs() {
    const QByteArrayList lignes = {
        "Nom", "", "\"Zoom, \xc3\xa9\",18,55,3.5,5.6,22,36,1", "\"A\",1,1,1,1,1,1",
        "A,1,1,1,1,1,1,0,1", "A,1,1,1,1,1,1,2", "A,1,1,f3.5,1,1,1,0", "\"A,1,1,1,1,1,1,0",
        "\xe9,1,1,1,1,1,1,0", "\"A\"\"B\",1,1,1,1,1,1,0", "A,1e39,1,1,1,1,1,0",
        " Fixe 50 , 50 ,50,1.8,1.8,16,16, 0"};
    const LectureObjectifs l = LireMesObjectifs(ecrit(lignes.join("\r\n")));
    QCOMPARE(decrit(l.objectifs), "Zoom, é|18|55|3.5|5.6|22|36|1 / Fixe 50|50|50|1.8|1.8|16|16|0");
    QCOMPARE(decrit(l.rejetees), "4 / 5 / 6 / 7 / 8 / 9 / 10 / 11");
}
void TestCatalogue::ecritureObjectifs() {
    const std::vector<TypeObjectif> o = {{"Zoom, \"é\"\n", 18, 55, 3.5f, 5.6f, 22, 36, 1}};
    const QByteArray texte = texteObjectifs(o, {{4, "x,\"y"}});
    QCOMPARE(texte, "Nom,FocalMini,FocalMaxi,DiafMini,DiafMiniZoom,DiafMaxi,DiafMaxiZoom,"
                    "Stabilisateur\r\n\"Zoom, 'é' \",18,55,3.5,5.6,22,36,1\r\nx,\"y\r\n");
    const LectureObjectifs l = LireMesObjectifs(ecrit(texte));
    QCOMPARE(texteObjectifs(l.objectifs, l.rejetees), texte);
}
void TestCatalogue::message() { // the first five lines named, the others counted
    const auto dit = [](int n) {
        std::vector<LigneRejetee> rejetees;
        for (int i = 1; i <= n; ++i) rejetees.push_back({i * 2, "x"});
        return messageLignesRejetees("F", rejetees);
    };
    QCOMPARE(dit(0), "");
    QCOMPARE(dit(1), "F, ligne 2 : ligne illisible, ignorée.");
    QCOMPARE(dit(5), "F : lignes 2, 4, 6, 8 et 10 illisibles, ignorées.");
    QCOMPARE(dit(6), "F : lignes 2, 4, 6, 8, 10 et 1 autres illisibles, ignorées.");
}
// Narrowest apertures estimated for a zoom, and for a built-in lens by the crop factor.
void TestCatalogue::estimations() {
    QStringList zooms;
    for (auto [mini, zoom] : {std::pair{2.f, 2.f}, {5.5f, 5.5f}, {5.6f, 5.6f},
                              {3.5f, 5.6f}, {0.f, 4.f}, {4.f, -1.f}})
        zooms << QString::number(fermetureEstimeeZoom(mini, zoom));
    QCOMPARE(zooms.join(' '), "16 22 32 36 0 0");
    // crop 4: f/8, 2.5: f/11, 2.4: estimated; long end unknown: as the short one
    for (auto [recadrage, zoom, diafs] : {std::tuple{4.0, 4.9, "4.9|8|8"}, {2.5, 4.9, "4.9|11|11"},
                                          {2.4, 5.6, "5.6|22|36"}, {0.0, 0.0, "3.5|22|22"}}) {
        const TypeBoitier b{"Sony", "RX", 0, {}, recadrage, 1, 0, 1, 1, 10, 37, 3.5, zoom, {}};
        const TypeObjectif o = b.objectif();
        QCOMPARE(decrit(o), "Sony RX|10|37|3.5|" + QString(diafs) + "|0");
        QVERIFY(o.FermetureEstimee);
    }
}
// The fuzzer's corpus, written back: every line comes back and the bodies read first stay first.
void TestCatalogue::corpus() {
    const QFileInfoList corpus =
        QDir(KAVEL_SOURCE_DIR "/fuzz/corpus/catalogue").entryInfoList(QDir::Files);
    QVERIFY(corpus.size() > 2);
    for (const QFileInfo &fichier : corpus) {
        const LectureBoitiers lu = LireBoitiers(fichier.filePath());
        LectureBoitiers relu = LireBoitiers(ecrit(texteBoitiers(lu.boitiers, lu.rejetees)));
        QCOMPARE(relu.boitiers.size() + relu.rejetees.size(),
                 lu.boitiers.size() + lu.rejetees.size());
        relu.boitiers.resize(lu.boitiers.size());
        QCOMPARE(decrit(relu.boitiers), decrit(lu.boitiers));
    }
}

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
