// The lens catalogues read from real files, the camera bodies, the keys a numeric box takes.
#include "equipment/Boitiers.h"
#include "equipment/Objectifs.h"
#include "equipment/Saisie.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

namespace {
const QByteArray kEntete = "Nom,FocalMini,FocalMaxi\r\n"; // a header: not read
const QByteArray kBon = "\"Bon\",18,55,3.5,5.6,22,38,0\r\n", kLuBon = "Bon:18 55 3.5 5.6 22 38 0";
QByteArray lus(const std::vector<TypeObjectif> &lenses) {
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
    QString write(const QByteArray &s) {
        QFile f(m_dir.filePath("O.txt"));
        return f.open(QIODevice::WriteOnly) && f.write(s) == s.size() ? f.fileName() : "";
    }

private slots:
    void records(); void catalogues();
};

// Blanks, Latin-1 names quoted or not; reading stops at the first record it cannot take.
void TestObjectifs::records() {
    QList<std::pair<QByteArray, QByteArray>> files = { // file, records read
        {"Nom\r  \"Bon\" (EF) ,  18, 55,\t3.5,\r\n5.6 , 22\n38 , 0\n\n\"Bon\"\r"
         "18,55,3.5,5.6,22,38,0\r" + kBon.chopped(2), kLuBon + '|' + kLuBon + '|' + kLuBon},
        {kEntete + "\"A, B\",18,55,3.5,5.6,22,38,0\r\nC\xe0 \t,1,2,3,4,5,6,1",
         "A, B:18 55 3.5 5.6 22 38 0|C\xe0:1 2 3 4 5 6 1"},
        {kEntete + "A,18,55,3.5x,f5.6,22,38,1.0\r\n"
                   "B,3.4028234663852886e38,-3.4028234663852886e38,1e300,-2,22,22,0",
         "A:18 55 3.5 0 22 38 1|B:3.40282e+38 -3.40282e+38 0 -2 22 22 0"},
        {kBon + "C,1,1", ""}, {kBon + "\"C,1,1,1,1,1,1,0", ""}};
    for (const char *bad : {"M,x,1,1,1,1,1,0", "M,1,,1,1,1,1,0", "M,1,1,1,1,f2,1,0",
                            "M,1,1,1,1,1,x,0", "M,1,1,1,1,1,1,2", "M,1,1,1,1,1,1,",
                            "M,3.5e38,1,1,1,1,1,0", "M,1,-1e300,1,1,1,1,0"})
        files.append({kEntete + kBon + bad + "\r\n" + kBon, kLuBon});
    for (const auto &[file, read] : files) QCOMPARE(lus(LireCatalogue(write(file))), read);
}
void TestObjectifs::catalogues() {
    // cut past the table's size, as is a value longer than any name
    const QByteArray big(65535 - kEntete.size(), 'x'), rest = ",50,50,1.8,1.8,22,22,0\r\n";
    QByteArray many = kEntete + '"' + big + '"' + rest + big + ' ' + rest;
    for (int i = 2; i < 300; ++i) many += 'L' + QByteArray::number(i) + rest;
    const auto cut = LireCatalogue(write(many));
    QCOMPARE(cut.size(), 201u);
    QCOMPARE(cut.at(0).Nom + cut.at(1).Nom, QString(2048, 'x'));
    QCOMPARE(cut.back().Nom, "L200");
    QVERIFY(LireCatalogue(m_dir.path()).empty());
    for (const char *body : {"Leica", "../../etc/passwd x", "..\\x y"})
        QCOMPARE(cheminCatalogue("/d", body), *body == 'L' ? "/d/Objectifs.txt" : "");
    QStringList limits;
    for (int i = -1; i < nomsBoitiers().size(); ++i) { // the last item announces more bodies
        const auto l = limitesBoitier(i);
        limits << (l ? QString::asprintf("%g %g %g %g", l->VFlash, l->VMax, l->IsoMini, l->IsoMax)
                     : "-");
    }
    QCOMPARE(limits.join('|'),
             "-|200 4000 100 1600|250 8000 100 3200|0 8000 50 6400|500 4000 200 3200|"
             "500 4000 100 3200|500 4000 200 1600|500 8000 200 1600|200 4000 100 3200|"
             "250 8000 100 3200|0 8000 100 25600|250 8000 100 6400|-");
    QString typed; // the keys dropped are _
    for (char16_t key : std::u16string_view(u"09/:\b\a\t.,a"))
        typed += QChar(LimitationSaisie(key) ? LimitationSaisie(key) : u'_');
    QCOMPARE(typed, "09__\b__,,_");
}

QTEST_GUILESS_MAIN(TestObjectifs)
#include "tst_objectifs.moc"
