// The "Mes appareils" dialog on real files: bodies and lenses typed into its tables,
// saved, read back and shown again; damaged lines kept; bad cells refused.
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
void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
void tape(const QStringList &cells) { // into the cell being edited, then Tab to the next
    for (const QString &text : cells) {
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}
} // namespace

class TestMateriel : public QObject {
    Q_OBJECT
    DialogRecorder m_boxes;
    std::optional<QTemporaryDir> m_temp;
    QString m_dir; // not there until the dialog writes to it
    std::unique_ptr<DialogueMateriel> m_d;
    DialogueMateriel &open(const TypeBoitier &shown = {}) {
        m_d = std::make_unique<DialogueMateriel>(m_dir, shown);
        m_d->show(), m_d->activateWindow();
        if (!QTest::qWaitForWindowActive(m_d.get())) // at once offscreen
            qFatal("the dialog is not active");
        return *m_d;
    }
    void addBody() { click(open().BtnAjouterBoitier), tape(kBoitier); }
    void save() { click(m_d->Boutons->button(QDialogButtonBox::Save)); }
    QString file(const char *name) const { return m_dir + '/' + name; }
    QByteArray bodies() const { // MesBoitiers.csv as it is
        QFile f(file("MesBoitiers.csv"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QByteArray &bytes) { // MesBoitiers.csv as found on opening
        QDir().mkpath(m_dir);
        QFile f(file("MesBoitiers.csv"));
        QCOMPARE(f.open(QIODevice::WriteOnly) ? f.write(bytes) : -1, bytes.size());
    }
    QString said(int i) const { return m_boxes.boxes.value(i).text; }
private slots:
    void init() { m_temp.emplace(), m_dir = m_temp->filePath("Kavel"), m_boxes.boxes.clear(); }
    void cleanup() { m_d.reset(); }
    void bodyTyped() { // after an empty row, which is left out
        click(open().BtnAjouterBoitier), click(m_d->BtnAjouterBoitier);
        tape(kBoitier);
        QTest::keyClicks(QApplication::focusWidget(), "2"); // still being typed when saved
        QSignalSpy saved(m_d.get(), &DialogueMateriel::materielEnregistre);
        save();
        QCOMPARE(saved.size(), 1);
        const LectureBoitiers read = LireBoitiers(file("MesBoitiers.csv"));
        QCOMPARE(read.boitiers.size(), 1u);
        QCOMPARE(read.boitiers[0].nom(), "Canon PowerShot G7 X");
        QCOMPARE(QPair(read.boitiers[0].FocaleMaxi, read.boitiers[0].DiafMini), QPair(36.8, 2.0));
        QVERIFY(!QFile::exists(file("MesObjectifs.txt"))); // its table was empty
        QCOMPARE(open().TabBoitiers->item(0, Recadrage)->text(), "2,7");
    }
    void lensStabilised() {
        click(open().BtnAjouterObjectif);
        tape(kObjectif); // Tab ends on the stabiliser's check box
        QTest::keyClick(m_d->TabMesObjectifs, Qt::Key_Space);
        save();
        const LectureObjectifs read = LireMesObjectifs(file("MesObjectifs.txt"));
        QCOMPARE(read.objectifs.size(), 1u);
        const auto &o = read.objectifs[0];
        QCOMPARE(o.Stabilisateur, 1);
        QCOMPARE(QPair(o.DiafMini, o.DiafMiniZoom), QPair(1.8f, 2.8f)); // one typed with a point
        QCOMPARE(open().TabMesObjectifs->item(0, Stabilisateur)->checkState(), Qt::Checked);
    }
    void bodyOnShow() { // every field of the body on show survives
        QVERIFY(open().BtnAjouterBoitierAffiche->isHidden());
        click(open(kX100).BtnAjouterBoitierAffiche);
        save();
        const LectureBoitiers read = LireBoitiers(file("MesBoitiers.csv"));
        QCOMPARE(texteBoitiers(read.boitiers), texteBoitiers({kX100}));
    }
    void damagedLine() {
        write(texteBoitiers({kX100}) + "Zorki,4\n");
        open();
        QCOMPARE(m_boxes.boxes.size(), 1);
        QVERIFY(said(0).contains("MesBoitiers.csv, ligne 3"));
        QCOMPARE(m_d->TabBoitiers->rowCount(), 1);
        save();
        QVERIFY(bodies().endsWith("\nZorki,4\n"));
        QCOMPARE(m_boxes.boxes.size(), 1);
    }
    void unreadableHeader() { // its other lines are not read: the file is never written over
        write("Marq,Mod\nCanon,X\n");
        addBody();
        save();
        QVERIFY(said(0).contains("MesBoitiers.csv n'a pas pu être lu"));
        QCOMPARE(m_boxes.boxes.size(), 2);
        QCOMPARE(bodies(), "Marq,Mod\nCanon,X\n");
        QVERIFY(m_d->isVisible());
    }
    void cellRefused_data() {
        QTest::addColumn<bool>("lens");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        const QString number = "un nombre positif est attendu.";
        const QString zero = "un nombre positif ou nul est attendu, ou une case vide.";
        const QString min = "un nombre au moins égal à celui de « %1 » est attendu.";
        QTest::newRow("letters") << false << int(IsoMaxi) << "abc" << number;
        QTest::newRow("empty") << false << int(IsoMini) << "" << number;
        QTest::newRow("no model") << false << int(Modele) << "" << "une valeur est attendue.";
        QTest::newRow("negative flash") << false << int(Flash) << "-1" << zero;
        QTest::newRow("ISO") << false << int(IsoMaxi) << "50" << min.arg("ISO mini");
        QTest::newRow("focal") << false << int(FocaleMaxi) << "8" << min.arg("Focale mini");
        QTest::newRow("lens beyond any") << true << int(FocaleMaxiObjectif) << "1E+40" << number;
        QTest::newRow("lens closing less than it opens")
            << true << int(FermetureZoom) << "1,4" << min.arg("Ouverture (focale maxi)");
    }
    void cellRefused() { // on a second row, after a good one
        QFETCH(bool, lens);
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QTableWidget *table = lens ? open().TabMesObjectifs : open().TabBoitiers;
        for (int i = 0; i < 2; ++i) {
            click(lens ? m_d->BtnAjouterObjectif : m_d->BtnAjouterBoitier);
            tape(lens ? kObjectif : kBoitier);
        }
        table->item(1, column)->setText(text);
        save();
        QCOMPARE(said(0), QString(lens ? "Objectif 2" : "Boîtier 2") + ", colonne « "
                              + table->horizontalHeaderItem(column)->text() + " » : " + reason);
        QCOMPARE(QPair(table->currentRow(), table->currentColumn()), QPair(1, column));
        QVERIFY(!QDir(m_dir).exists());
    }
    void nothingWritten() { // "Annuler" after typing, "Enregistrer" with nothing added: no folder
        addBody();
        click(m_d->Boutons->button(QDialogButtonBox::Cancel));
        QVERIFY(m_d->isHidden());
        QVERIFY(!QDir(m_dir).exists());
        click(open().BtnAjouterBoitier); // an empty row
        save();
        QCOMPARE(m_d->result(), QDialog::Accepted);
        QVERIFY(!QDir(m_dir).exists());
    }
    void writeFails() {
        QVERIFY(QFile(m_dir).open(QIODevice::WriteOnly)); // a file where the folder should be
        addBody();
        save();
        QVERIFY(said(0).endsWith(raisonEchecEcriture(ENOTDIR)));
        QVERIFY(m_d->isVisible());
    }
    void removed() { // the Delete key, then the button; the file was there: it is emptied
        write(texteBoitiers({kX100}));
        click(open(kX100).BtnAjouterBoitierAffiche), click(m_d->BtnAjouterBoitierAffiche);
        QTest::keyClick(m_d->TabBoitiers, Qt::Key_Delete);
        QCOMPARE(m_d->TabBoitiers->rowCount(), 2);
        m_d->TabBoitiers->selectAll();
        click(m_d->BtnSupprimerBoitier);
        QCOMPARE(m_d->TabBoitiers->rowCount(), 0);
        save();
        QCOMPARE(bodies(), texteBoitiers({}));
    }
};

QTEST_MAIN(TestMateriel)
#include "tst_materiel.moc"
