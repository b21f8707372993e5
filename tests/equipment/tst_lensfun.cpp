// The system's lens database (lensfun), one of the test's own, stabiliser marks.
#include "equipment/ObjectifsLensfun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

namespace {
// "name: focal range f/widest at each end stabiliser" for lenses named nom, or all.
QString lus(const std::vector<TypeObjectif> &lenses, const QString &nom = {}) {
    QStringList l;
    for (const TypeObjectif &o : lenses)
        if (nom.isEmpty() || o.Nom == nom)
            l << o.Nom + QString::asprintf(": %g-%g f/%g-%g %d", o.FocalMini, o.FocalMaxi,
                                           o.DiafMini, o.DiafMiniZoom, o.Stabilisateur);
    return l.join('|');
}
} // namespace

class TestLensfun : public QObject {
    Q_OBJECT

private slots:
    void system(); void folderOfOurOwn(); void stabiliser();
};

void TestLensfun::system() {
    const auto base = BaseLensfun::charge();
    const char *skopar = "Voigtländer Color-Skopar X 1:2,8/50", *lignes[][3] = {
        {"Canon RF", "Canon RF 24-105mm F4-7.1 IS STM", "24-105 f/4-7.1 1"},
        {"Fujifilm X", "Fujifilm XF18-55mmF2.8-4 R LM OIS", "18-55 f/2.8-4 1"},
        {"DKL", skopar, "50-50 f/2.8-2.8 0"}, {"Fujifilm X", skopar, ""}, // DKL: universal
        {"Sony E", "Sony VCL-ECF1 fisheye converter", ""},
        {"Sony E", "Generic Rectilinear 10-1000mm f/1.0", ""}};
    for (const auto &[monture, nom, lu] : lignes)
        QCOMPARE(lus(base->objectifsPourMonture(monture), nom),
                 *lu ? QString(nom) + ": " + lu : QString());
    QStringList fautifs; // lenses breaking a rule, mounts found empty or with twins
    for (const char *monture : {"Sony E", "Canon EF-S"}) {
        const auto lenses = base->objectifsPourMonture(monture);
        QStringList noms;
        for (const TypeObjectif &o : lenses) {
            noms << o.Nom;
            if (!o.FermetureEstimee || o.DiafMaxi < o.DiafMini || o.DiafMiniZoom < o.DiafMini
                || o.DiafMaxiZoom < o.DiafMiniZoom || o.FocalMaxi < o.FocalMini)
                fautifs << o.Nom;
        }
        if (noms.isEmpty() || noms.removeDuplicates()) fautifs << monture;
    }
    QCOMPARE(fautifs.join(" | "), "");
}
// Compatible mounts, a body, lenses told by their name or their elements.
void TestLensfun::folderOfOurOwn() {
    QTemporaryDir dir;
    QFile f(dir.filePath("k.xml"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(R"(<lensdatabase><mount><name>Kavel K</name><compat>Kavel M</compat></mount>
<camera><maker>Kavel</maker><model>K-1000</model><mount>Kavel K</mount>
<cropfactor>1.5</cropfactor></camera>
<lens><maker>Zeta</maker><model>Tele 85mm</model><mount>Kavel M</mount>
<focal value="85"/><aperture min="1.4"/><cropfactor>1</cropfactor></lens>
<lens><maker>Kavel</maker><model>Kavel 18-50mm f/3.5-5.6 OIS</model><mount>Kavel K</mount>
<cropfactor>1.5</cropfactor></lens></lensdatabase>)"), f.close();
    const auto base = BaseLensfun::chargeDossier(dir.path());
    QCOMPARE(base->nbObjectifs(), 2);
    const QString zeta = "Zeta Tele 85mm: 85-85 f/1.4-1.4 0";
    QCOMPARE(lus(base->objectifsPourMonture("Kavel K")),
             "Kavel 18-50mm f/3.5-5.6 OIS: 18-50 f/3.5-5.6 1|" + zeta);
    QCOMPARE(lus(base->objectifsPourMonture("Kavel M")), zeta);
    const auto k = base->camera("Kavel", "K-1000");
    QVERIFY(k);
    QCOMPARE(k->monture, "Kavel K");
    QCOMPARE(k->recadrage, 1.5);
    QVERIFY(!base->camera("Zeta", "K-1000"));
    QVERIFY(!base->camera("Kavel", " "));
}
// Marks as words of their own, in either case where they have points.
void TestLensfun::stabiliser() {
    const QString marques = "L IS II|VR II|E OSS|LM OIS|O.I.S.|Power o.i.s|I.S.|VC HLD|VCM-S|(OS)";
    QStringList mal;
    for (const QString &nom : (marques + "|COSINA|DISTAGON T*|VCL-ECU1|that is|Os").split('|'))
        if (marqueStabilisateur(nom) != marques.split('|').contains(nom)) mal << nom;
    QCOMPARE(mal.join(" | "), "");
}

QTEST_MAIN(TestLensfun)
#include "tst_lensfun.moc"
