// The body catalogue and the student's lens file read from real files and written back, the
// message naming their damaged lines, the narrowest apertures estimated for a lens.
#include "equipment/CatalogueBoitiers.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace kavel;

namespace {
using Lignes = QList<std::pair<const char *, QByteArray>>; // why a line is damaged, the line

QString decrit(const TypeBoitier &b) { // every field, '-' for an unknown flash
    const auto n = [](double v) { return QString::number(v); };
    return QStringList{b.Marque, b.Modele, n(b.Annee), b.Monture, n(b.Recadrage),
                       n(b.VitesseMax), b.VitesseFlash ? n(*b.VitesseFlash) : "-", n(b.IsoMini),
                       n(b.IsoMaxi), n(b.FocaleMini), n(b.FocaleMaxi), n(b.DiafMini),
                       n(b.DiafMiniZoom), b.Source}.join('|');
}
QString decrit(const TypeObjectif &o) {
    return o.Nom + QString::asprintf("|%g|%g|%g|%g|%g|%g|%d", o.FocalMini, o.FocalMaxi, o.DiafMini,
                                     o.DiafMiniZoom, o.DiafMaxi, o.DiafMaxiZoom, o.Stabilisateur);
}
template <typename T> QString decrit(const std::vector<T> &v, const char *entre = " / ") {
    QStringList l;
    for (const T &x : v) l << decrit(x);
    return l.join(entre);
}
QString numeros(const std::vector<LigneRejetee> &r) {
    QStringList l;
    for (const LigneRejetee &x : r) l << QString::number(x.numero);
    return l.join(' ');
}
} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString ecrit(const QByteArray &octets) {
        QFile f(m_dir.filePath("Fichier.csv"));
        return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size() ? f.fileName() : "";
    }

private slots:
    void lignes_data(); void lignes(); void fichiers_data(); void fichiers(); void limite();
    void ecritureBoitiers();
    void mesObjectifs_data(); void mesObjectifs(); void ecritureObjectifs(); void message();
    void estimations(); void pasDeBlocage(); void corpus();
};

void TestCatalogue::lignes_data() { // one line of the standard columns, before a good line
    QTest::addColumn<QByteArray>("ligne");
    QTest::addColumn<QString>("lu"); // the body, empty when the line is rejected
    const auto row = [](const char *name, const char *ligne, const char *lu) {
        QTest::newRow(name) << QByteArray(ligne) << QString(lu);
    };
    row("interchangeable lenses", "Canon,EOS 5D,2005,EF,1,8000,200,100,3200,,,,,E",
        "Canon|EOS 5D|2005|EF|1|8000|200|100|3200|0|0|0|0|E");
    row("built-in zoom, no flash", "Sony,RX,2012,,2.7,2000,0,125,6400,10.4,37,1.8,4.9,",
        "Sony|RX|2012||2.7|2000|0|125|6400|10.4|37|1.8|4.9|");
    row("commas and doubled quotes", R"("Zeiss, AG","Ikon ""M""",,,,1,,1,1,,,,,"a,b")",
        "Zeiss, AG|Ikon \"M\"|0||0|1|-|1|1|0|0|0|0|a,b");
    row("blanks around fields", " Leica , \"M 10\" ,, ,1, 4000 ,,100 , 5e4 ,,,,,",
        "Leica|M 10|0||1|4000|-|100|50000|0|0|0|0|");
    row("quoted line break", "Fuji,\"X\nT1\",,,,.5,,+1,1E1,,,,,",
        "Fuji|X\nT1|0||0|0.5|-|1|10|0|0|0|0|");
    const Lignes rejetees = {
        {"no maker", ",EOS,,,,8000,,100,3200,,,,,"}, {"blank model", "A,\" \",,,,1,,1,1,,,,,"},
        {"fastest speed missing", "A,B,,,,,,1,2,,,,,"}, {"speed 1/8", "A,B,,,,1/8,,1,2,,,,,"},
        {"ISO zero", "A,B,,,,8000,,0,3200,,,,,"}, {"ISO range reversed", "A,B,,,,1,,3,1,,,,,"},
        {"decimal comma", "A,B,,,\"1,5\",1,,1,2,,,,,"}, {"year 1.5", "A,B,1.5,,,1,,1,1,,,,,"},
        {"negative focal length", "A,B,,,,1,,1,2,-5,,,,"}, {"flash -1", "A,B,,,,1,-1,1,2,,,,,"},
        {"aperture inf", "A,B,,,,1,,1,2,,,inf,,"}, {"aperture nan", "A,B,,,,1,,1,2,,,,nan,"},
        {"fewer fields than the header", "A,B,,,,8000,,100,3200"},
        {"quotes in a plain field", "Ca\"n\"on,B,,,,1,,1,1,,,,,"},
        {"text after a closing quote", "A,B,,,,1,,1,1,,,,,\"S\"x"},
        {"quote never closed", "\"A,B,,,,1,,1,1,,,,,"}, {"not UTF-8", "A,\xe9,,,,1,,1,1,,,,,"},
        {"longer than 64 KiB", QByteArray(70000, 'x')}};
    for (const auto &[pourquoi, ligne] : rejetees) QTest::newRow(pourquoi) << ligne << QString();
}
void TestCatalogue::lignes() {
    QFETCH(QByteArray, ligne);
    QFETCH(QString, lu);
    const LectureBoitiers l =
        LireBoitiers(ecrit(texteBoitiers({}) + ligne + "\nFin,F,,,,1,,1,1,,,,,\n"));
    QCOMPARE(l.boitiers.size(), std::size_t(lu.isEmpty() ? 1 : 2));
    QCOMPARE(l.boitiers.back().Marque, "Fin"); // the next line is read
    QCOMPARE(l.boitiers.size() == 2 ? decrit(l.boitiers.front()) : QString(), lu);
    QCOMPARE(numeros(l.rejetees), lu.isEmpty() ? "2" : "");
    if (lu.isEmpty()) QCOMPARE(l.rejetees.front().octets, ligne.left(64 * 1024));
}
void TestCatalogue::fichiers_data() {
    QTest::addColumn<QByteArray>("fichier");
    QTest::addColumn<QString>("lus");
    QTest::addColumn<QString>("rejetees");
    const QString ab = "A|B|0||0|1|-|2|3|0|0|0|0|", cd = "C|D|0||0|4|-|5|6|0|0|0|0|";
    const QByteArray entete = "Marque,Modele,VitesseMax,IsoMini,IsoMaxi\n";
    QTest::newRow("columns in another order, one unknown")
        << QByteArray("Source,IsoMaxi,Pays,Modele,IsoMini,Marque,VitesseMax\n"
                      "x,3200,JP,EOS,100,Canon,8000\n")
        << "Canon|EOS|0||0|8000|-|100|3200|0|0|0|0|x" << "";
    QTest::newRow("BOM, CR LF, blanks, quoted name, no last line end")
        << QByteArray("\xEF\xBB\xBF\"Marque\", Modele ,VitesseMax,IsoMini,IsoMaxi\r\n"
                      "\r\nA,B,1,2,3\r\n \t\r\nC,D,4,5,6")
        << ab + " / " + cd << "";
    QTest::newRow("a line cut short") << entete + "A,B,1,2,3\nC,D,4,1\n" << ab << "3";
    QTest::newRow("blanks and a lone CR: a blank line") << entete + "\t\r\r\nA,B,1,2,3\n" << ab
                                                        << "";
    QTest::newRow("a quoted CR LF keeps the line numbers")
        << entete + "A,\"B\r\nb\",1,2,3\r\nx\r\nC,D,4,5,6\n"
        << "A|B\r\nb|0||0|1|-|2|3|0|0|0|0| / " + cd << "4";
    QTest::newRow("a stray quote costs its line only")
        << entete + "A,\"B,1,2,3\nA,B,1,2,3\nC,D,4,5,6\n" << ab + " / " + cd << "2";
    QTest::newRow("quotes not closed within 64 KiB")
        << entete + "A,\"B,1,2,3\n" + QByteArray(65530, 'x') + "\nC,D,4,5,6\nE,\"F\n" << cd
        << "2 3 5";
    QTest::newRow("no IsoMaxi column: unreadable, every line kept")
        << QByteArray("Marque,Modele,VitesseMax,IsoMini\nA,B,1,2\n") << "" << "1 2";
    QTest::newRow("empty") << QByteArray() << "" << "";
}
void TestCatalogue::fichiers() {
    QFETCH(QByteArray, fichier);
    QFETCH(QString, lus);
    const LectureBoitiers l = LireBoitiers(ecrit(fichier));
    QVERIFY(l.existe);
    QCOMPARE(decrit(l.boitiers), lus);
    QTEST(numeros(l.rejetees), "rejetees");
}
void TestCatalogue::limite() { // lines past the 100,000th are not read
    const QByteArray lignes = QByteArray("A,B,1,1,1\n").repeated(100'000);
    const LectureBoitiers l =
        LireBoitiers(ecrit("Marque,Modele,VitesseMax,IsoMini,IsoMaxi\n" + lignes));
    QCOMPARE(l.boitiers.size(), std::size_t(99'999));
}
void TestCatalogue::ecritureBoitiers() {
    const std::vector<TypeBoitier> b = {
        {"Zeiss, AG", "Ikon \"M\"", 1932, " M", 1.5, 1000, {}, 100, 1e5, 0, 0, 0, 0, "a\nb"},
        {"Sony", "RX", 0, "", 0, 2000, 0, 125, 6400, 10.4, 37, 1.8, 4.9, "é"}};
    const QByteArray texte = texteBoitiers(b, {{7, "x,\"y"}});
    QCOMPARE(texteBoitiers({}), "Marque,Modele,Annee,Monture,Recadrage,VitesseMax,VitesseFlash,"
                                "IsoMini,IsoMaxi,FocaleMini,FocaleMaxi,DiafMini,DiafMiniZoom,"
                                "Source\n");
    QCOMPARE(texte, texteBoitiers({}) + "\"Zeiss, AG\",\"Ikon \"\"M\"\"\",1932,\" M\",1.5,1000,,"
                    "100,100000,,,,,\"a\nb\"\nSony,RX,,,,2000,0,125,6400,10.4,37,1.8,4.9,"
                    "\xc3\xa9\nx,\"y\n");
    const LectureBoitiers l = LireBoitiers(ecrit(texte));
    QCOMPARE(decrit(l.boitiers), decrit(b));
    QCOMPARE(texteBoitiers(l.boitiers, l.rejetees), texte);
}
void TestCatalogue::mesObjectifs_data() { // one line between a header, a blank line, a good line
    QTest::addColumn<QByteArray>("ligne");
    QTest::addColumn<QString>("lu"); // the lens, empty when the line is rejected
    QTest::newRow("quoted name, a comma")
        << QByteArray("\"Zoom, \xc3\xa9\",18,55,3.5,5.6,22,36,1")
        << "Zoom, é|18|55|3.5|5.6|22|36|1";
    QTest::newRow("plain name, blanks") << QByteArray(" Fixe 50 , 50 ,50,1.8,1.8,16,16, 0")
                                        << "Fixe 50|50|50|1.8|1.8|16|16|0";
    const Lignes rejetees = {
        {"seven values", "\"A\",18,55,3.5,5.6,22,36"}, {"nine values", "\"A\",1,1,1,1,1,1,0,1"},
        {"stabiliser 2", "\"A\",1,1,1,1,1,1,2"}, {"aperture f3.5", "A,1,1,f3.5,1,1,1,0"},
        {"quote never closed", "\"A,1,1,1,1,1,1,0"}, {"not UTF-8", "\xe9,1,1,1,1,1,1,0"},
        {"doubled quote", "\"A\"\"B\",1,1,1,1,1,1,0"},
        {"beyond single range", "A,1e39,1,1,1,1,1,0"}};
    for (const auto &[pourquoi, ligne] : rejetees) QTest::newRow(pourquoi) << ligne << QString();
}
void TestCatalogue::mesObjectifs() {
    QFETCH(QByteArray, ligne);
    QFETCH(QString, lu);
    const LectureObjectifs l =
        LireMesObjectifs(ecrit("Nom\r\n\r\n" + ligne + "\r\n\"Fin\",1,1,1,1,1,1,0\r\n"));
    QCOMPARE(l.objectifs.size(), std::size_t(lu.isEmpty() ? 1 : 2));
    QCOMPARE(l.objectifs.size() == 2 ? decrit(l.objectifs.front()) : QString(), lu);
    QCOMPARE(numeros(l.rejetees), lu.isEmpty() ? "3" : "");
}
void TestCatalogue::ecritureObjectifs() {
    const std::vector<TypeObjectif> o = {{"Zoom, \"é\"\n", 18, 55, 3.5f, 5.6f, 22, 36, 1}};
    const QByteArray texte = texteObjectifs(o, {{4, "x,\"y"}});
    QCOMPARE(texte, "Nom,FocalMini,FocalMaxi,DiafMini,DiafMiniZoom,DiafMaxi,DiafMaxiZoom,"
                    "Stabilisateur\r\n\"Zoom, 'é' \",18,55,3.5,5.6,22,36,1\r\nx,\"y\r\n");
    const LectureObjectifs l = LireMesObjectifs(ecrit(texte));
    QCOMPARE(texteObjectifs(l.objectifs, l.rejetees), texte);
    QCOMPARE(l.rejetees.front().octets, "x,\"y");
}
void TestCatalogue::message() {
    const auto dit = [](const QList<int> &lignes) {
        std::vector<LigneRejetee> rejetees;
        for (int n : lignes) rejetees.push_back({n, "x"});
        return messageLignesRejetees("F.csv", rejetees);
    };
    QCOMPARE(dit({}), "");
    QCOMPARE(dit({4}), "F.csv, ligne 4 : ligne illisible, ignorée.");
    QCOMPARE(dit({4, 9}), "F.csv : lignes 4 et 9 illisibles, ignorées.");
    QCOMPARE(dit({4, 9, 12}), "F.csv : lignes 4, 9 et 12 illisibles, ignorées.");
    QCOMPARE(dit({1, 2, 3, 4, 5, 6, 7}),
             "F.csv : lignes 1, 2, 3, 4, 5 et 2 autres illisibles, ignorées."); // the last counted
}
// The narrowest apertures estimated for a zoom, and for a body's built-in lens by its crop factor.
void TestCatalogue::estimations() {
    QStringList zooms;
    for (auto [mini, zoom] : {std::pair{2.f, 2.f}, {2.2f, 2.2f}, {5.5f, 5.5f}, {5.6f, 5.6f},
                              {3.5f, 5.6f}, {2.8f, 11.2f}, {2.f, 4.f}, {0.f, 4.f}, {4.f, -1.f}})
        zooms << QString::number(fermetureEstimeeZoom(mini, zoom));
    QCOMPARE(zooms.join(' '), "16 22 22 32 36 91 32 0 0");
    // crop 4: f/8, 2.5: f/11, 2.4: estimated; long end unknown: as the short one
    for (auto [recadrage, zoom, diafs] : {std::tuple{4.0, 4.9, "4.9 8 8"}, {2.5, 4.9, "4.9 11 11"},
                                          {2.4, 5.6, "5.6 22 36"}, {0.0, 0.0, "3.5 22 22"}}) {
        const TypeBoitier b{"Sony", "RX", 0, {}, recadrage, 1, 0, 1, 1, 10, 37, 3.5, zoom, {}};
        const TypeObjectif o = b.objectif();
        QCOMPARE(QString::asprintf("%g %g %g", o.DiafMiniZoom, o.DiafMaxi, o.DiafMaxiZoom), diafs);
        QCOMPARE(decrit(o).section('|', 0, 3), "Sony RX|10|37|3.5");
        QVERIFY(o.FermetureEstimee);
    }
}
void TestCatalogue::pasDeBlocage() { // a named pipe or a folder is not a file; nothing waits on it
    const QString tube = m_dir.filePath("tube");
    QCOMPARE(::mkfifo(tube.toLocal8Bit().constData(), 0600), 0);
    QVERIFY(!LireBoitiers(tube).existe);
    QVERIFY(!LireMesObjectifs(tube).existe);
    QVERIFY(!LireBoitiers(m_dir.path()).existe);
    QVERIFY(!LireBoitiers(m_dir.filePath("absent")).existe);
}
// The fuzzer's corpus, written back: every line comes back and the bodies read first stay first.
void TestCatalogue::corpus() {
    const QDir corpus(QStringLiteral(KAVEL_SOURCE_DIR "/fuzz/corpus/catalogue"));
    const QStringList noms = corpus.entryList(QDir::Files);
    QVERIFY(noms.size() >= 3);
    for (const QString &nom : noms) {
        QFile f(corpus.filePath(nom));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const LectureBoitiers lu = LireBoitiers(ecrit(f.readAll()));
        const LectureBoitiers relu = LireBoitiers(ecrit(texteBoitiers(lu.boitiers, lu.rejetees)));
        QCOMPARE(relu.boitiers.size() + relu.rejetees.size(),
                 lu.boitiers.size() + lu.rejetees.size());
        QVERIFY(relu.boitiers.size() >= lu.boitiers.size());
        const auto premiers = relu.boitiers.begin() + static_cast<long>(lu.boitiers.size());
        QCOMPARE(decrit(std::vector(relu.boitiers.begin(), premiers)), decrit(lu.boitiers));
    }
}

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
