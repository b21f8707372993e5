// The lens catalogues read from real files, the camera bodies, the keys a numeric box takes.
#include "equipment/Boitiers.h"
#include "equipment/Objectifs.h"
#include "equipment/Saisie.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

namespace {
const QByteArray kEntete =
    "Nom,FocalMini,FocalMaxi,DiafMini,DiafMiniZoom,DiafMaxi,DiafMaxiZoom,Stabilisateur\r\n";
const QByteArray kBon = "\"Bon\",18,55,3.5,5.6,22,38,0\r\n";
const QByteArray kLuBon = "Bon:18 55 3.5 5.6 22 38 0";
template <std::size_t N> QByteArray b(const char (&s)[N]) { return QByteArray(s, N - 1); }
QByteArray lus(const std::vector<TypeObjectif> &lenses) { // "name:values|..."
    QByteArrayList l;
    for (const TypeObjectif &o : lenses)
        l << (o.Nom + QString::asprintf(":%g %g %g %g %g %g %d", o.FocalMini, o.FocalMaxi,
                                        o.DiafMini, o.DiafMiniZoom, o.DiafMaxi, o.DiafMaxiZoom,
                                        o.Stabilisateur)).toLatin1();
    return l.join('|');
}
} // namespace

class TestObjectifs : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString write(const QByteArray &content) {
        QFile f(m_dir.filePath("ObjectifsTest.txt"));
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size() ? f.fileName()
                                                                                  : QString();
    }

private slots:
    void records(); void catalogues();
};

void TestObjectifs::records() {
    QList<std::pair<QByteArray, QByteArray>> files = { // file, records read
        // line ends, blanks, no final line end
        {"Nom\r  \"Bon\" (EF) ,  18, 55,\t3.5,\r\n5.6 , 22\n38 , 0\n\n\n\"Bon\"\r"
         "18,55,3.5,5.6,22,38,0\r" + kBon.chopped(2),
         kLuBon + '|' + kLuBon + '|' + kLuBon},
        // names, quoted or not
        {kEntete + b("\"A, \0B\",18,55,3.5,5.6,22,38,0\r\nC\0D \t,1,2,3,4,5,6,1\r\n"
                     "\"\xe0\",1,1,1,1,1,1,0"),
         b("A, \0B:18 55 3.5 5.6 22 38 0|C\0D:1 2 3 4 5 6 1|\xe0:1 1 1 1 1 1 0")},
        // The full apertures take the number their value starts with; a stabiliser is 0 or 1.
        {kEntete + "A,18,55,3.5x,f5.6,22,38,1.0\r\n"
                   "B,3.4028234663852886e38,-3.4028234663852886e38,1e300,-2,22,22,0",
         b("A:18 55 3.5 0 22 38 1|B:3.40282e+38 -3.40282e+38 0 -2 22 22 0")},
        // Reading stops at the first record it cannot take, keeping the ones before.
        {"", ""},
        {kEntete.chopped(2), ""},
        {kEntete + kBon + "\"Coupé\",18,55,3.5", kLuBon},
        {kEntete + kBon + "\"Coupé,18,55,3.5,5.6,22,38,0\r\n", kLuBon},
        {"\xff\xd8\xff\xe0" + QByteArray(6, '\0') + "JFIF\r\n,,,,,\x89PNG\r\n\x1a\n", ""}};
    for (const char *bad : {"M,dix-huit,55,3.5,5.6,22,38,0", "M,18,55,3.5,5.6,f22,38,0",
                            "M,18,,3.5,5.6,22,38,0", "M,18,55,3.5,5.6,22,38,2",
                            "M,18,55,3.5,5.6,22,38,-1", "M,18,55,3.5,5.6,22,38,0.5",
                            "M,3.5e38,55,3.5,5.6,22,38,0", "M,18,-1e300,3.5,5.6,22,38,0",
                            "M,0x12,55,3.5,5.6,22,38,0"})
        files.append({kEntete + kBon + bad + "\r\n" + kBon, kLuBon});
    for (const auto &[file, read] : files) QCOMPARE(lus(LireCatalogue(write(file))), read);
}
void TestObjectifs::catalogues() { // and the bodies they are chosen by
    // Past the table's size a catalogue is cut; so is a value longer than any name.
    const QByteArray big(65535 - kEntete.size(), 'x');
    const QByteArray rest = ",50,50,1.8,1.8,22,22,0\r\n"; // '"' begins a read
    QByteArray many = kEntete + '"' + big + '"' + rest + big + ' ' + rest;
    for (int i = 2; i < 300; ++i) many += 'L' + QByteArray::number(i) + rest;
    const std::vector<TypeObjectif> cut = LireCatalogue(write(many));
    QCOMPARE(QStringList({QString::number(cut.size()), cut.at(0).Nom, cut.at(1).Nom,
                          cut.back().Nom}),
             QStringList({"201", QString(1024, 'x'), QString(1024, 'x'), "L200"}));
    QVERIFY(QDir(m_dir.path()).mkdir("ObjectifsDossier.txt"));
    QVERIFY(LireCatalogue(QString()).empty());
    QVERIFY(LireCatalogue(m_dir.filePath("ObjectifsDossier.txt")).empty());
    QVERIFY(LireCatalogue(m_dir.filePath("0")).empty());
    for (const char *body : {"Leica", "../../etc/passwd x", "..\\x y"})
        QCOMPARE(cheminCatalogue("/d", body),
                 *body == 'L' ? "/d/Objectifs.txt" : "");
    QStringList limits;
    for (int i = -1; i <= nomsBoitiers().size(); ++i) { // the last item announces more bodies
        const std::optional<LimitesBoitier> l = limitesBoitier(i);
        limits << (l ? QString("%1 %2 %3 %4").arg(l->VFlash).arg(l->VMax)
                             .arg(l->IsoMini).arg(l->IsoMax) : "-");
    }
    QCOMPARE(limits.join('|'),
             "-|200 4000 100 1600|250 8000 100 3200|0 8000 50 6400|500 4000 200 3200|"
             "500 4000 100 3200|500 4000 200 1600|500 8000 200 1600|200 4000 100 3200|"
             "250 8000 100 3200|0 8000 100 25600|250 8000 100 6400|-|-");
    // digits and backspace pass, a point becomes the decimal comma, the rest is dropped (_)
    QString typed;
    for (char16_t key : std::u16string_view(u"09/:\b\a\t.,a"))
        typed += QChar(LimitationSaisie(key) ? LimitationSaisie(key) : u'_');
    QCOMPARE(typed, "09__\b__,,_");
}

QTEST_GUILESS_MAIN(TestObjectifs)
#include "tst_objectifs.moc"
