// The system's lens database (lensfun), a database folder of the test's own, stabiliser marks.
#include "equipment/ObjectifsLensfun.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

namespace {
// The lenses of a list named nom, or all, as "name: focal range f/widest at each end stabiliser".
QString lus(const std::vector<TypeObjectif> &lenses, const QString &nom = {}) {
    QStringList l;
    for (const TypeObjectif &o : lenses)
        if (nom.isEmpty() || o.Nom == nom)
            l << QString("%1: %2-%3 f/%4-%5 %6").arg(o.Nom).arg(o.FocalMini)
                     .arg(o.FocalMaxi).arg(o.DiafMini).arg(o.DiafMiniZoom).arg(o.Stabilisateur);
    return l.join('|');
}
QString texte(const std::optional<CameraLensfun> &c) { // "mount crop factor"
    return c ? c->monture + ' ' + QString::number(c->recadrage) : "-";
}
} // namespace

class TestLensfun : public QObject {
    Q_OBJECT
    std::shared_ptr<const BaseLensfun> m_systeme = BaseLensfun::charge();

private slots:
    void systemLenses(); void systemDatabase(); void folderOfOurOwn(); void stabiliser();
};

void TestLensfun::systemLenses() {
    const char *lignes[][3] = { // mount, lens, as read
        {"Sony E", "Sony E 18-55mm f/3.5-5.6 OSS", "18-55 f/3.5-5.6 1"}, // maker added
        {"Canon RF", "Canon RF 24-105mm F4-7.1 IS STM", "24-105 f/4-7.1 1"},
        {"Canon EF-S", "Canon EF 50mm f/1.8 STM", "50-50 f/1.8-1.8 0"}, // a compatible mount
        {"Canon EF", "Canon EF-S 18-55mm f/3.5-5.6 IS STM", ""}, // not the other way
        {"Fujifilm X", "Fujifilm XF18-55mmF2.8-4 R LM OIS", "18-55 f/2.8-4 1"},
        {"DKL", "Voigtländer Color-Skopar X 1:2,8/50", "50-50 f/2.8-2.8 0"},
        {"Fujifilm X", "Voigtländer Color-Skopar X 1:2,8/50", ""}, // by a universal mount
        {"Sony E", "Sony VCL-ECF1 fisheye converter", ""}, // an accessory
        {"Sony E", "Generic Rectilinear 10-1000mm f/1.0", ""},
        {"Kavel X", "Kavel 50mm f/2", ""}}; // an unknown mount
    for (const auto &[monture, nom, lu] : lignes)
        QCOMPARE(lus(m_systeme->objectifsPourMonture(monture), nom),
                 *lu ? QString(nom) + ": " + lu : QString());
}
void TestLensfun::systemDatabase() { // lenses breaking a rule, mounts found empty or with twins
    QStringList fautifs;
    for (const char *monture : {"Sony E", "Canon RF", "Nikon Z", "Fujifilm X",
                                "Micro 4/3 System", "Canon EF-S", "Nikon F AF"}) {
        const std::vector<TypeObjectif> lenses = m_systeme->objectifsPourMonture(monture);
        QSet<QString> noms;
        for (const TypeObjectif &o : lenses) {
            noms.insert(o.Nom);
            if (!o.FermetureEstimee || o.DiafMaxi < o.DiafMini || o.DiafMiniZoom < o.DiafMini
                || o.DiafMaxiZoom < o.DiafMiniZoom || o.FocalMaxi < o.FocalMini)
                fautifs << o.Nom;
        }
        if (lenses.empty() || noms.size() != qsizetype(lenses.size()))
            fautifs << monture;
    }
    QCOMPARE(fautifs.join(" | "), "");
    QCOMPARE(texte(m_systeme->camera("Sony", "ILCE-7M4")), "Sony E 1");
    QCOMPARE(texte(m_systeme->camera("Kavel", "K-1000")), "-");
}
// A mount taking another's lenses, a body, a lens told by its name, one by its elements.
void TestLensfun::folderOfOurOwn() {
    const QByteArray xml = R"(<lensdatabase version="1">
  <mount><name>Kavel K</name><compat>Kavel M</compat></mount>
  <camera><maker>Kavel</maker><model>K-1000</model><mount>Kavel K</mount>
<cropfactor>1.5</cropfactor></camera>
  <lens><maker>Optika</maker><model>Portrait 85mm</model><mount>Kavel M</mount>
<focal value="85"/><aperture min="1.4" max="16"/><cropfactor>1</cropfactor></lens>
  <lens><maker>Kavel</maker><model>Kavel 18-50mm f/3.5-5.6 OIS</model><mount>Kavel K</mount>
<cropfactor>1.5</cropfactor></lens></lensdatabase>)";
    QTemporaryDir dir;
    QFile f(dir.filePath("kavel.xml"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(xml), xml.size());
    f.close();
    const std::shared_ptr<const BaseLensfun> base = BaseLensfun::chargeDossier(dir.path());
    QCOMPARE(base->nbObjectifs(), 2);
    const QString optika = "Optika Portrait 85mm: 85-85 f/1.4-1.4 0";
    QCOMPARE(lus(base->objectifsPourMonture("Kavel K")),
             "Kavel 18-50mm f/3.5-5.6 OIS: 18-50 f/3.5-5.6 1|" + optika);
    QCOMPARE(lus(base->objectifsPourMonture("Kavel M")), optika);
    QCOMPARE(texte(base->camera("Kavel", "K-1000")), "Kavel K 1.5");
    QCOMPARE(BaseLensfun::chargeDossier(dir.filePath("none"))->nbObjectifs(), 0);
}
void TestLensfun::stabiliser() {
    const QString marques =
        "EF 70-200mm f/2.8L IS II USM|AF-S 70-200mm f/2.8G VR II|E 18-55mm f/3.5-5.6 OSS|"
        "XF18-55mmF2.8-4 R LM OIS|G 14-42mm MEGA O.I.S.|DG 100-400mm Power o.i.s|"
        "G 14-140mm Dual I.S.|18-400mm Di II VC HLD|AT-X 70-200mm F4 FX VCM-S|"
        "18-200mm DC OS HSM|17-70mm (OS)"; // then names without a mark
    const QString autres = "COSINA 19-35mm|DISTAGON T* 2.8/21|VCL-ECU1|EF 50mm f/1.8 II|"
                           "12-40mm f/2.8 PRO|a lens that is stabilised|AF 35mm Os";
    QStringList mal; // the names misjudged
    for (const QString &nom : (marques + '|' + autres).split('|'))
        if (marqueStabilisateur(nom) != marques.split('|').contains(nom)) mal << nom;
    QCOMPARE(mal.join(" | "), "");
}

QTEST_MAIN(TestLensfun)
#include "tst_lensfun.moc"
