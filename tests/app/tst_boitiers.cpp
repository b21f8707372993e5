// Today's bodies in the main window, the student's own, the remembered choices.
#include "app/DialogueMateriel.h"
#include "chart/LimitZones.h"
#include "equipment/ListeBoitiers.h"
#include "platform/DropDownComboBox.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace kavel;
using namespace kavel::colours;

namespace {
void choose(DropDownComboBox *list, int i) { list->setCurrentIndex(i), emit list->activated(i); }
void choose(DropDownComboBox *list, const QString &text) { choose(list, list->findText(text)); }
// What the named controls show: a text, a list's choice, a tick ([x] or [ ]) and caption.
QString see(const Form1 &f, const QString &names) {
    QStringList seen;
    for (const QString &name : names.split(' ')) {
        QWidget *w = f.findChild<QWidget *>(name);
        QString s = w->property(qobject_cast<QComboBox *>(w) ? "currentText" : "text").toString();
        if (auto *b = qobject_cast<QCheckBox *>(w)) s = (b->isChecked() ? "[x] " : "[ ] ") + s;
        seen << s;
    }
    return seen.join(' ');
}
QRgb at(const Form1 &f, double speed, double diaf) { // the chart's colour there
    const ChartView c = f.chart();
    return c.surface.image().pixel(qRound(c.cx(speed)), qRound(c.cy(diaf)));
}
void write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QCOMPARE(file.open(QIODevice::WriteOnly) ? file.write(bytes) : -1, bytes.size());
}
} // namespace

class TestBoitiers : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_user; // the user's data and choices
private slots:
    void init() {
        m_user = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", m_user->filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_user->filePath("config").toUtf8());
    }
    void bodyList(); void todaysBodies(); void ownEquipment();
    void ownBodyAdded(); void rememberedChoices();
};

// A maker's heading, after the program's own bodies, is never chosen: the keyboard steps over it.
void TestBoitiers::bodyList() {
    FenetreActive w(KAVEL_DATA_DIR);
    DropDownComboBox *list = w.form.CmbBxAppareil;
    QCOMPARE(list->findText("— Canon —"), 12);
    const int title = list->findText("— Fujifilm —");
    choose(list, title - 1);
    list->setFocus(), QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), title + 1);
    list->lineEdit()->selectAll(), QTest::keyClicks(list->lineEdit(), "film X-T200");
    QAbstractItemView *popup = list->completer()->popup();
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(list->completer()->completionCount(), 1);
    QTest::keyClick(popup, Qt::Key_Return); // none marked
    QCOMPARE(see(w.form, "CmbBxAppareil TxtVitesseMaxi TxtIsoMini TxtIsoMaxi ChkBxFlash"),
             "Fujifilm X-T200 32000 200 12800 [ ] Flash interne (1/180)");
}
// Today's bodies: their sensitivities, speeds and stabiliser's gain on the chart.
void TestBoitiers::todaysBodies() {
    FenetreActive w(KAVEL_DATA_DIR);
    Form1 &f = w.form;
    const auto count = [&f](auto wanted) {
        return std::count_if(f.TabCouple.begin(), f.TabCouple.end(), wanted);
    };
    choose(f.CmbBxAppareil, "Canon EOS R6"); // ISO 102400 from F/16 to F/22 within 1/8000 s
    QCOMPARE(count([](const TypeCouple &c) { return c.IndIso == 11; }), 4);
    choose(f.CmbBxAppareil, "Fujifilm X-T5");
    QCOMPARE(f.echellesGraphique.nbVitesses, 68); // up to 1/160000 s
    f.TxtValeur->setText("17");
    QVERIFY(count([](const TypeCouple &c) { return c.IndVitesse >= kNbVitesses; }) > 0);
    f.ChkBxStabilisateur->setChecked(true);
    QVERIFY(f.CmbBxPerfStab->isEnabled());
    choose(f.CmbBxPerfStab, 0); // no gain
    QCOMPARE(at(f, 1.2, 7), kZoneBouge);
    choose(f.CmbBxPerfStab, "8 vitesses");
    QCOMPARE(at(f, 1.2, 7), kZoneMain);
    QTRY_VERIFY(f.lensfunCharge());
    choose(f.CmbBxAppareil, "Sony A7 IV");
    choose(f.CmbBxObjectif, "Sony E 18-55mm f/3.5-5.6 OSS");
    QCOMPARE(see(f, "TxtFocalMini TxtFocalMaxi TxtDiafMini TxtDiafMiniZoom TxtDiafMaxi "
                    "ChkBxStabilisateur"), "18 55 3,5 5,6 22 [x] Stabilisateur");
    QVERIFY(f.TxtDiafMaxi->toolTip().contains("estimée"));
    choose(f.CmbBxAppareil, "Canon 300D, 350D, 400D");
    QVERIFY(!f.CmbBxPerfStab->isEnabled()); // not for the program's own bodies
    choose(f.CmbBxObjectif, 0); // a lens of the program's catalogue is no estimate
    QVERIFY(!f.TxtDiafMaxi->toolTip().contains("estimée"));
    choose(f.CmbBxAppareil, "Fujifilm X100V"); // 22,9 mm x 1,53 = 35 mm in 24x36
    QCOMPARE(see(f, "CmbBxObjectif TxtFocalMini TxtFocalMaxi TxtDiafMini TxtVitesseMaxi"),
             "Fujifilm X100V 22,9 22,9 2 32000");
    QCOMPARE(f.NbObjectifs, 0);
    QCOMPARE(QPair(at(f, 25, 4.5), at(f, 45, 4.5)), QPair(kZoneBouge, kZoneMain)); // at 1/35 s
}
// The student's files, read at start: their bodies after the program's own, their lenses first.
void TestBoitiers::ownEquipment() {
    const QString dir = platform::dossierUtilisateur();
    QVERIFY(QDir().mkpath(dir));
    write(dir + "/MesBoitiers.csv", "Marque,Modele,VitesseMax,IsoMini,IsoMaxi,Monture\n"
                                    "Zorki,Club 1,4000,100,6400,Sony E\n"
                                    "Zorki,abîmé,vite,100,6400,\n"
                                    "Sony,ILCE-7M4,8000,100,51200,\n"); // as its photos name it
    write(dir + "/MesObjectifs.txt", "Nom,...\n\"Mon 35mm\",35,35,1.4,1.4,16,16,0\n");
    DialogRecorder dialogs;
    Form1 f(KAVEL_DATA_DIR);
    QTRY_COMPARE(dialogs.boxes.size(), 1);
    QVERIFY(dialogs.boxes[0].text.contains("MesBoitiers.csv, ligne 3"));
    QCOMPARE(f.CmbBxAppareil->itemText(12), "Zorki Club 1");
    QCOMPARE(f.CmbBxObjectif->itemText(0), "Mon 35mm");
    choose(f.CmbBxAppareil, 12);
    QCOMPARE(see(f, "TxtIsoMaxi ChkBxFlash"), "6400 [ ] Flash interne : synchro inconnue");
    QVERIFY(!f.ChkBxFlash->isEnabled());
    QTRY_VERIFY(f.lensfunCharge()); // without a mount, the body known by its Exif names
    choose(f.CmbBxAppareil, "Sony ILCE-7M4");
    QVERIFY(f.CmbBxObjectif->findText("Sony E 18-55mm f/3.5-5.6 OSS") > 0);
}
// A body saved from "Mes appareils…" is in the list at once, and in its file with its mount.
void TestBoitiers::ownBodyAdded() {
    FenetreActive w(KAVEL_DATA_DIR);
    DropDownComboBox *list = w.form.CmbBxAppareil;
    choose(list, "Nikon Z6");
    QTimer::singleShot(0, [] { // once the dialog runs
        auto *d = qobject_cast<DialogueMateriel *>(QApplication::activeModalWidget());
        QVERIFY(d);
        QTest::mouseClick(d->BtnAjouterBoitierAffiche, Qt::LeftButton);
        QTest::mouseClick(d->Boutons->button(QDialogButtonBox::Save), Qt::LeftButton);
    });
    QTest::mouseClick(w.form.BtnMesAppareils, Qt::LeftButton);
    QCOMPARE(list->itemText(12), "Nikon Z6");
    QCOMPARE(list->currentText(), "Nikon Z6");
    const auto read = LireBoitiers(platform::dossierUtilisateur() + "/MesBoitiers.csv").boitiers;
    QCOMPARE(read.size(), 1u);
    QCOMPARE(read[0].Monture, "Nikon Z");
}
// The body, lens and level chosen last come back; a first start is as it always was.
void TestBoitiers::rememberedChoices() {
    {
        DialogRecorder boxes;
        Form1 f(KAVEL_DATA_DIR, nullptr, Form1::Memoire::Utilisateur);
        QCOMPARE(see(f, "CmbBxAppareil CmbBxObjectif TxtValeur"),
                 "Canon 300D, 350D, 400D EF-S 18-55mm F3.5-5.6 11");
        QTRY_VERIFY(f.lensfunCharge());
        choose(f.CmbBxAppareil, "Nikon Z6");
        choose(f.CmbBxObjectif, "Nikon NIKKOR Z 24-70mm f/4 S");
        f.TxtValeur->setText("9,5");
        f.close();
    }
    DialogRecorder boxes;
    Form1 f(KAVEL_DATA_DIR, nullptr, Form1::Memoire::Utilisateur);
    QCOMPARE(see(f, "CmbBxAppareil TxtIsoMaxi TxtValeur"), "Nikon Z6 51200 9,5");
    QTRY_COMPARE(f.CmbBxObjectif->currentText(), "Nikon NIKKOR Z 24-70mm f/4 S");
    QCOMPARE(f.TxtFocalMaxi->text(), "70");
}

QTEST_MAIN(TestBoitiers)
#include "tst_boitiers.moc"
