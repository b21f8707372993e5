// The "Mes appareils" dialog on real files: typed, saved, read back; damaged lines kept.
#include "app/DialogueMateriel.h"
#include "platform/FichierEcriture.h"
#include "support/TestSupport.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace kavel;

namespace {
enum { Modele = 1, Flash = 5, IsoMaxi = 7 };        // bodies' columns
enum { FocaleMaxiObjectif = 2, Stabilisateur = 7 }; // lenses'
const QStringList kBoitier{"Canon", "PowerShot G7 X", "", "2,7", "2000", "2000", "125", "12800",
                           "8,8", "36,8"};
const QStringList kObjectif{"Zoom", "24", "70", "1,8", "2.8", "22", "22"};
const TypeBoitier kX100{"Fujifilm", "X100", 2010, "", 1.5, 4000, 0.0, 200, 3200, 23, 23, 2, 2, "a"};
void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
void tape(const QStringList &cells) { // into the cell being edited, then Tab to the next
    for (const QString &text : cells)
        QTest::keyClicks(QApplication::focusWidget(), text),
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
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
        if (!QTest::qWaitForWindowActive(m_d.get())) qFatal("the dialog is not active");
        return *m_d;
    }
    void addBody() { click(open().BtnAjouterBoitier), tape(kBoitier); }
    void save() { click(m_d->Boutons->button(QDialogButtonBox::Save)); }
    QString file(const char *name) const { return m_dir + '/' + name; }
    QByteArray bodies() const { // MesBoitiers.csv
        QFile f(file("MesBoitiers.csv"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QByteArray &bytes) { // MesBoitiers.csv as found on opening
        QDir().mkpath(m_dir);
        QFile f(file("MesBoitiers.csv"));
        QCOMPARE(f.open(QIODevice::WriteOnly) ? f.write(bytes) : -1, bytes.size());
    }
    QString said() const { return m_boxes.boxes.value(0).text; }
private slots:
    void init() { m_temp.emplace(), m_dir = m_temp->filePath("Kavel"), m_boxes.boxes.clear(); }
    void cleanup() { m_d.reset(); }
    void bodyTyped() { // after an empty row, left out; the last cell still being typed
        click(open().BtnAjouterBoitier), click(m_d->BtnAjouterBoitier);
        tape(kBoitier), QTest::keyClicks(QApplication::focusWidget(), "2");
        save();
        const auto read = LireBoitiers(file("MesBoitiers.csv")).boitiers;
        QCOMPARE(read.size(), 1u);
        QCOMPARE(read[0].nom(), "Canon PowerShot G7 X");
        QCOMPARE(QPair(read[0].FocaleMaxi, read[0].DiafMini), QPair(36.8, 2.0));
        QCOMPARE(read[0].Annee, 0);
        QVERIFY(!QFile::exists(file("MesObjectifs.txt"))); // its table was empty
    }
    void lensStabilised() {
        click(open().BtnAjouterObjectif), tape(kObjectif); // Tab ends on the stabiliser
        QTest::keyClick(m_d->TabMesObjectifs, Qt::Key_Space);
        save();
        const auto read = LireMesObjectifs(file("MesObjectifs.txt")).objectifs;
        QCOMPARE(read.size(), 1u);
        QCOMPARE(read[0].Stabilisateur, 1);
        QCOMPARE(QPair(read[0].DiafMini, read[0].DiafMiniZoom), QPair(1.8f, 2.8f)); // a point
        QCOMPARE(open().TabMesObjectifs->item(0, Stabilisateur)->checkState(), Qt::Checked);
    }
    void bodyOnShow() { // every field of the body on show survives
        QVERIFY(open().BtnAjouterBoitierAffiche->isHidden());
        click(open(kX100).BtnAjouterBoitierAffiche);
        save();
        QCOMPARE(bodies(), texteBoitiers({kX100}));
    }
    void damagedLine() { // named once, kept as it is
        write(texteBoitiers({kX100}) + "Zorki,4\n");
        open();
        QVERIFY(said().contains("MesBoitiers.csv, ligne 3"));
        QVERIFY(said().endsWith("dans le fichier quand il est enregistré."));
        QCOMPARE(m_d->TabBoitiers->rowCount(), 1);
        save();
        QVERIFY(bodies().endsWith("\nZorki,4\n"));
        QCOMPARE(m_boxes.boxes.size(), 1);
    }
    void unreadableHeader() { // its other lines are not read: the file is never written over
        write("Marq,Mod\nCanon,X\n");
        addBody();
        save();
        QVERIFY(said().contains("MesBoitiers.csv n'a pas pu être lu"));
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
        QTest::newRow("zero") << false << int(IsoMaxi) << "0" << number;
        QTest::newRow("no model") << false << int(Modele) << "" << "une valeur est attendue.";
        QTest::newRow("negative flash") << false << int(Flash) << "-1"
            << "un nombre positif ou nul est attendu, ou une case vide.";
        QTest::newRow("ISO") << false << int(IsoMaxi) << "50"
                             << "un nombre au moins égal à celui de « ISO mini » est attendu.";
        QTest::newRow("lens beyond any") << true << int(FocaleMaxiObjectif) << "1E+40" << number;
    }
    void cellRefused() { // on a second row, after a good one: nothing written
        QFETCH(bool, lens); QFETCH(int, column); QFETCH(QString, text); QFETCH(QString, reason);
        QTableWidget *table = lens ? open().TabMesObjectifs : open().TabBoitiers;
        for (int i = 0; i < 2; ++i)
            click(lens ? m_d->BtnAjouterObjectif : m_d->BtnAjouterBoitier),
                tape(lens ? kObjectif : kBoitier);
        table->item(1, column)->setText(text);
        save();
        QCOMPARE(said(), QString(lens ? "Objectif 2" : "Boîtier 2") + ", colonne « "
                              + table->horizontalHeaderItem(column)->text() + " » : " + reason);
        QCOMPARE(QPair(table->currentRow(), table->currentColumn()), QPair(1, column));
        QVERIFY(!QDir(m_dir).exists());
    }
    void writeFails() {
        QVERIFY(QFile(m_dir).open(QIODevice::WriteOnly)); // a file where the folder should be
        addBody();
        save();
        QVERIFY(said().endsWith(raisonEchecEcriture(ENOTDIR)));
        QVERIFY(m_d->isVisible());
    }
    void removed() { // the Delete key, then the button; the file was there: it is emptied
        write(texteBoitiers({kX100}));
        click(open(kX100).BtnAjouterBoitierAffiche), click(m_d->BtnAjouterBoitierAffiche);
        QTest::keyClick(m_d->TabBoitiers, Qt::Key_Delete);
        QCOMPARE(m_d->TabBoitiers->rowCount(), 2);
        m_d->TabBoitiers->selectAll();
        click(m_d->BtnSupprimerBoitier);
        save();
        QCOMPARE(bodies(), texteBoitiers({}));
    }
};

QTEST_MAIN(TestMateriel)
#include "tst_materiel.moc"
