// The "Mes appareils" dialog on real files: bodies and lenses typed into its
// tables, saved, read back and shown again; damaged lines kept; bad cells refused.
#include "app/DialogueMateriel.h"
#include "platform/FichierEcriture.h"
#include "support/TestSupport.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace kavel;

namespace {
enum { Modele = 1, Recadrage = 3, Flash = 5, IsoMini = 6, IsoMaxi = 7, FocaleMaxi = 9 }; // bodies
enum { FocaleMaxiObjectif = 2, FermetureZoom = 6, Stabilisateur = 7 };                  // lenses
const QStringList kBoitier{"Canon", "PowerShot G7 X", "", "2,7", "2000", "2000", "125", "12800",
                           "8,8", "36,8"};
const QStringList kObjectif{"Zoom", "24", "70", "1,8", "2.8", "22", "22"};
const TypeBoitier kX100{"Fujifilm", "X100", 2010, "", 1.5, 4000, 0.0, 200, 3200, 23, 23, 2, 2, "a"};

// Types each text into the cell being edited, then Tab to the next cell.
void tape(const QStringList &cellules)
{
    for (const QString &texte : cellules) {
        QTest::keyClicks(QApplication::focusWidget(), texte);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}
void clique(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
} // namespace

class TestMateriel : public QObject {
    Q_OBJECT
    DialogRecorder m_boites;
    std::optional<QTemporaryDir> m_temp;
    QString m_dossier; // not there until the dialog writes to it
    std::unique_ptr<DialogueMateriel> m_d;

    DialogueMateriel &ouvre(const TypeBoitier &affiche = {})
    {
        m_d = std::make_unique<DialogueMateriel>(m_dossier, affiche);
        m_d->show(), m_d->activateWindow();
        if (!QTest::qWaitForWindowActive(m_d.get())) // at once offscreen
            qFatal("the dialog is not active");
        return *m_d;
    }
    void enregistre() { clique(m_d->Boutons->button(QDialogButtonBox::Save)); }
    QString fichier(const char *nom) const { return m_dossier + '/' + nom; }
    QByteArray contenu(const char *nom) const
    {
        QFile f(fichier(nom));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void ecris(const QByteArray &octets) // MesBoitiers.csv as found on opening
    {
        QDir().mkpath(m_dossier);
        QFile f(fichier("MesBoitiers.csv"));
        QCOMPARE(f.open(QIODevice::WriteOnly) ? f.write(octets) : -1, octets.size());
    }

private slots:
    void init() { m_temp.emplace(), m_dossier = m_temp->filePath("Kavel"), m_boites.boxes.clear(); }
    void cleanup() { m_d.reset(); }

    void boitierTape() // after an empty row, which is left out
    {
        clique(ouvre().BtnAjouterBoitier);
        clique(m_d->BtnAjouterBoitier);
        tape(kBoitier);
        QTest::keyClicks(QApplication::focusWidget(), "2"); // still being typed when saved
        QSignalSpy enregistres(m_d.get(), &DialogueMateriel::materielEnregistre);
        enregistre();
        QCOMPARE(enregistres.size(), 1);
        const LectureBoitiers lu = LireBoitiers(fichier("MesBoitiers.csv"));
        QCOMPARE(lu.boitiers.size(), 1u);
        QCOMPARE(lu.boitiers[0].nom(), "Canon PowerShot G7 X");
        QCOMPARE(lu.boitiers[0].FocaleMaxi, 36.8);
        QCOMPARE(lu.boitiers[0].DiafMini, 2.0);
        QVERIFY(!QFile::exists(fichier("MesObjectifs.txt"))); // its table was empty
        QCOMPARE(ouvre().TabBoitiers->item(0, Recadrage)->text(), "2,7");
    }
    void objectifStabilise()
    {
        clique(ouvre().BtnAjouterObjectif);
        tape(kObjectif); // Tab ends on the stabiliser's check box
        QTest::keyClick(m_d->TabMesObjectifs, Qt::Key_Space);
        enregistre();
        const LectureObjectifs lu = LireMesObjectifs(fichier("MesObjectifs.txt"));
        QCOMPARE(lu.objectifs.size(), 1u);
        QCOMPARE(lu.objectifs[0].Stabilisateur, 1);
        QCOMPARE(lu.objectifs[0].DiafMini, 1.8f);
        QCOMPARE(lu.objectifs[0].DiafMiniZoom, 2.8f); // typed with a point
        QCOMPARE(ouvre().TabMesObjectifs->item(0, Stabilisateur)->checkState(), Qt::Checked);
    }
    void boitierAffiche() // every field of the body on show survives
    {
        QVERIFY(ouvre().BtnAjouterBoitierAffiche->isHidden());
        clique(ouvre(kX100).BtnAjouterBoitierAffiche);
        enregistre();
        const LectureBoitiers lu = LireBoitiers(fichier("MesBoitiers.csv"));
        QCOMPARE(texteBoitiers(lu.boitiers), texteBoitiers({kX100}));
    }
    void ligneAbimee()
    {
        ecris(texteBoitiers({kX100}) + "Zorki,4\n");
        ouvre();
        QCOMPARE(m_boites.boxes.size(), 1);
        QVERIFY(m_boites.boxes[0].text.contains("MesBoitiers.csv, ligne 3"));
        QCOMPARE(m_d->TabBoitiers->rowCount(), 1);
        enregistre();
        QVERIFY(contenu("MesBoitiers.csv").endsWith("\nZorki,4\n"));
        QCOMPARE(m_boites.boxes.size(), 1);
    }
    void enteteIllisible() // its other lines are not read: the file is never written over
    {
        ecris("Marq,Mod\nCanon,X\n");
        clique(ouvre().BtnAjouterBoitier);
        tape(kBoitier);
        enregistre();
        QVERIFY(m_boites.boxes.value(0).text.contains("MesBoitiers.csv n'a pas pu être lu"));
        QCOMPARE(m_boites.boxes.size(), 2);
        QCOMPARE(contenu("MesBoitiers.csv"), "Marq,Mod\nCanon,X\n");
        QVERIFY(m_d->isVisible());
    }
    void celluleRefusee_data()
    {
        QTest::addColumn<bool>("objectif");
        QTest::addColumn<int>("colonne");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("raison");
        const QString nombre = "un nombre positif est attendu.";
        const QString nul = "un nombre positif ou nul est attendu, ou une case vide.";
        const QString min = "un nombre au moins égal à celui de « %1 » est attendu.";
        QTest::newRow("letters") << false << int(IsoMaxi) << "abc" << nombre;
        QTest::newRow("empty") << false << int(IsoMini) << "" << nombre;
        QTest::newRow("no model") << false << int(Modele) << "" << "une valeur est attendue.";
        QTest::newRow("negative flash") << false << int(Flash) << "-1" << nul;
        QTest::newRow("ISO") << false << int(IsoMaxi) << "50" << min.arg("ISO mini");
        QTest::newRow("focal") << false << int(FocaleMaxi) << "8" << min.arg("Focale mini");
        QTest::newRow("lens beyond any") << true << int(FocaleMaxiObjectif) << "1E+40" << nombre;
        QTest::newRow("lens closing less than it opens")
            << true << int(FermetureZoom) << "1,4" << min.arg("Ouverture (focale maxi)");
    }
    void celluleRefusee() // on a second row, after a good one
    {
        QFETCH(bool, objectif);
        QFETCH(int, colonne);
        QFETCH(QString, texte);
        QFETCH(QString, raison);
        QTableWidget *table = objectif ? ouvre().TabMesObjectifs : ouvre().TabBoitiers;
        for (int i = 0; i < 2; ++i) {
            clique(objectif ? m_d->BtnAjouterObjectif : m_d->BtnAjouterBoitier);
            tape(objectif ? kObjectif : kBoitier);
        }
        table->item(1, colonne)->setText(texte);
        enregistre();
        const QString cellule = QString(objectif ? "Objectif 2" : "Boîtier 2") + ", colonne « "
            + table->horizontalHeaderItem(colonne)->text() + " » : ";
        QCOMPARE(m_boites.boxes.value(0).text, cellule + raison);
        QCOMPARE(table->currentRow(), 1);
        QCOMPARE(table->currentColumn(), colonne);
        QVERIFY(!QDir(m_dossier).exists());
    }
    void sansEcriture() // "Annuler" after typing, "Enregistrer" with nothing added: no folder
    {
        clique(ouvre().BtnAjouterBoitier);
        tape(kBoitier);
        clique(m_d->Boutons->button(QDialogButtonBox::Cancel));
        QVERIFY(m_d->isHidden());
        QVERIFY(!QDir(m_dossier).exists());
        clique(ouvre().BtnAjouterBoitier); // an empty row
        enregistre();
        QCOMPARE(m_d->result(), QDialog::Accepted);
        QVERIFY(!QDir(m_dossier).exists());
    }
    void echecEcriture()
    {
        QVERIFY(QFile(m_dossier).open(QIODevice::WriteOnly)); // a file where the folder should be
        clique(ouvre().BtnAjouterBoitier);
        tape(kBoitier);
        enregistre();
        QVERIFY(m_boites.boxes.value(0).text.endsWith(raisonEchecEcriture(ENOTDIR)));
        QVERIFY(m_d->isVisible());
    }
    void supprime() // the Delete key, then the button; the file was there: it is emptied
    {
        ecris(texteBoitiers({kX100}));
        for (int i = 0; i < 2; ++i)
            clique((i ? *m_d : ouvre(kX100)).BtnAjouterBoitierAffiche);
        QTest::keyClick(m_d->TabBoitiers, Qt::Key_Delete);
        QCOMPARE(m_d->TabBoitiers->rowCount(), 2);
        m_d->TabBoitiers->selectAll();
        clique(m_d->BtnSupprimerBoitier);
        QCOMPARE(m_d->TabBoitiers->rowCount(), 0);
        enregistre();
        QCOMPARE(contenu("MesBoitiers.csv"), texteBoitiers({}));
    }
};

QTEST_MAIN(TestMateriel)
#include "tst_materiel.moc"
