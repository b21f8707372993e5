// Today's bodies in the main window: found by typing, their lenses, a camera with its own lens,
// the student's equipment, the remembered choices, the program's own bodies as they always were.
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
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>

using namespace kavel;
using namespace kavel::colours;

namespace {
void choose(DropDownComboBox *list, int i) { list->setCurrentIndex(i), emit list->activated(i); }
void choose(DropDownComboBox *list, const QString &text) { choose(list, list->findText(text)); }
// What the named controls show, one space apart: a text, a list's choice, a check box's tick
// ([x] or [ ]) and caption.
QString see(const Form1 &f, const QString &names) {
    QStringList seen;
    for (const QString &name : names.split(' ')) {
        QWidget *w = f.findChild<QWidget *>(name);
        if (auto *e = qobject_cast<QLineEdit *>(w)) seen << e->text();
        else if (auto *c = qobject_cast<QComboBox *>(w)) seen << c->currentText();
        else if (auto *b = qobject_cast<QCheckBox *>(w))
            seen << (b->isChecked() ? "[x] " : "[ ] ") + b->text();
    }
    return seen.join(' ');
}
QRgb at(const Form1 &f, double speed, double diaf) { // the chart's colour there
    const ChartView c = f.chart();
    return c.surface.image().pixel(qRound(c.cx(speed)), qRound(c.cy(diaf)));
}
void write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}
} // namespace

class TestBoitiers : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_user; // the user's data and choices, new for each test
private slots:
    void init() {
        m_user = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", m_user->filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_user->filePath("config").toUtf8());
    }
    void findByTyping_data(); void findByTyping(); void headings(); void mirrorlessLens();
    void compactCamera(); void chartForTodaysBodies(); void programBodiesUnchanged();
    void ownEquipment(); void ownBodyAdded(); void rememberedChoices();
};

// Typing a part of a name narrows the list; Enter on a body chooses it.
void TestBoitiers::findByTyping_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("shown"); // fastest, ISO range, flash
    QTest::newRow("a7iv") << "a7iv" << "Sony A7 IV" << "8000 100 51200 [ ] Pas de flash interne";
    QTest::newRow("xt5") << "xt5" << "Fujifilm X-T5" << "180000 125 12800 [ ] Pas de flash interne";
    QTest::newRow("r6") << "r6" << "Canon EOS R6" << "8000 100 102400 [ ] Pas de flash interne";
    QTest::newRow("z 6") << "z 6" << "Nikon Z6" << "8000 100 51200 [ ] Pas de flash interne";
    QTest::newRow("D7500, a flash")
        << "D7500" << "Nikon D7500" << "8000 100 51200 [ ] Flash interne (1/250)";
}
void TestBoitiers::findByTyping() {
    QFETCH(QString, typed); QFETCH(QString, body); QFETCH(QString, shown);
    FenetreActive w(KAVEL_DATA_DIR);
    Form1 &f = w.form;
    QTRY_VERIFY(f.lensfunCharge());
    QLineEdit *edit = f.CmbBxAppareil->lineEdit();
    edit->setFocus(), edit->selectAll();
    QTest::keyClicks(edit, typed);
    QCompleter *completer = edit->completer();
    QAbstractItemView *popup = completer->popup();
    QTRY_VERIFY(popup->isVisible());
    int row = -1;
    for (int i = 0; i < completer->completionCount(); ++i) {
        const QString t = popup->model()->index(i, 0).data().toString();
        QVERIFY2(cleRecherche(t).contains(cleRecherche(typed)), qPrintable(t));
        if (t == body) row = i;
    }
    QVERIFY(row >= 0);
    QVERIFY(completer->completionCount() < 12); // narrowed to a few bodies
    if (completer->completionCount() > 1) // else Enter takes the one found
        popup->setCurrentIndex(popup->model()->index(row, 0));
    QTest::keyClick(popup, Qt::Key_Return);
    QCOMPARE(f.CmbBxAppareil->currentText(), body);
    QCOMPARE(see(f, "TxtVitesseMaxi TxtIsoMini TxtIsoMaxi ChkBxFlash"), shown);
    QVERIFY(f.NbObjectifs > 10); // the lenses of its mount
    QCOMPARE(f.TabObjectifs.back().FermetureEstimee, true);
}
// A maker's heading, right after the program's own bodies, is shown, never chosen: the keyboard
// steps over it.
void TestBoitiers::headings() {
    FenetreActive w(KAVEL_DATA_DIR);
    DropDownComboBox *list = w.form.CmbBxAppareil;
    const int title = list->findText("— Fujifilm —");
    QVERIFY(title > 12);
    QCOMPARE(list->findText("— Canon —"), 12);
    QCOMPARE(static_cast<QStandardItemModel *>(list->model())->item(title)->flags(),
             Qt::NoItemFlags);
    choose(list, title - 1);
    list->setFocus(), QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), title + 1);
    QCOMPARE(w.form.ListeBoitiers[title + 1].boitier.Marque, "Fujifilm");
}
// A lens of the lens database: its values, its stabiliser, an estimated narrowest aperture.
void TestBoitiers::mirrorlessLens() {
    FenetreActive w(KAVEL_DATA_DIR);
    Form1 &f = w.form;
    QTRY_VERIFY(f.lensfunCharge());
    choose(f.CmbBxAppareil, "Sony A7 IV");
    choose(f.CmbBxObjectif, "Sony E 18-55mm f/3.5-5.6 OSS");
    QCOMPARE(see(f, "TxtFocalMini TxtFocalMaxi TxtDiafMini TxtDiafMiniZoom TxtDiafMaxi "
                    "ChkBxStabilisateur"), "18 55 3,5 5,6 22 [x] Stabilisateur");
    QVERIFY(f.TxtDiafMaxi->toolTip().contains("estimée"));
    choose(f.CmbBxAppareil, "Canon 300D, 350D, 400D");
    choose(f.CmbBxObjectif, 0); // a lens of the program's catalogue is no estimate
    QVERIFY(!f.TxtDiafMaxi->toolTip().contains("estimée"));
}
// A camera with its own lens fills the lens boxes; its blur limit goes by the 24x36 equivalent
// (22,9 mm x 1,53 = 35 mm).
void TestBoitiers::compactCamera() {
    FenetreActive w(KAVEL_DATA_DIR);
    Form1 &f = w.form;
    choose(f.CmbBxAppareil, "Fujifilm X100V");
    QCOMPARE(see(f, "CmbBxObjectif TxtFocalMini TxtFocalMaxi TxtDiafMini TxtVitesseMaxi"),
             "Fujifilm X100V 22,9 22,9 2 32000");
    QCOMPARE(f.NbObjectifs, 0);
    QCOMPARE(QPair(at(f, 25, 4.5), at(f, 45, 4.5)), QPair(kZoneBouge, kZoneMain)); // at 1/35 s
    QVERIFY(f.TxtDiafMaxi->toolTip().contains("estimée"));
}
// Today's bodies get their sensitivities and speeds, and their stabiliser's gain.
void TestBoitiers::chartForTodaysBodies() {
    FenetreActive w(KAVEL_DATA_DIR);
    Form1 &f = w.form;
    const auto count = [&f](auto wanted) {
        return std::count_if(f.TabCouple.begin(), f.TabCouple.end(), wanted);
    };
    choose(f.CmbBxAppareil, "Canon EOS R6");
    QCOMPARE(f.echellesGraphique.nbIsos, 12); // up to 102400
    // ISO 102400, from F/16 to F/22 within 1/8000 s
    QCOMPARE(count([](const TypeCouple &c) { return c.IndIso == 11; }), 4);
    choose(f.CmbBxAppareil, "Fujifilm X-T5");
    QCOMPARE(f.echellesGraphique.nbVitesses, 68); // up to 1/160000 s
    f.TxtValeur->setText("17");
    QVERIFY(count([](const TypeCouple &c) { return c.IndVitesse >= kNbVitesses; }) > 0);
    QCOMPARE(f.range.LogVitesseMax, std::log(180000 * 1.25));
    f.ChkBxStabilisateur->setChecked(true);
    QVERIFY(f.CmbBxPerfStab->isEnabled());
    choose(f.CmbBxPerfStab, 0); // no gain
    QCOMPARE(at(f, 1.2, 7), kZoneBouge);
    choose(f.CmbBxPerfStab, "8 vitesses");
    QCOMPARE(at(f, 1.2, 7), kZoneMain);
}
// The program's own bodies draw what they always drew, catalogue or not.
void TestBoitiers::programBodiesUnchanged() {
    QTemporaryDir old; // a program folder as before: the lens catalogues only
    for (const QString &c : QDir(KAVEL_DATA_DIR).entryList({"*.txt"}))
        QVERIFY(QFile::copy(KAVEL_DATA_DIR "/" + c, old.filePath(c)));
    FenetreActive before(old.path()), after(KAVEL_DATA_DIR);
    Form1 &b = before.form, &a = after.form;
    QCOMPARE(a.Graphic->surface().image(), b.Graphic->surface().image());
    choose(a.CmbBxAppareil, "Sony A7 IV");
    for (int i = 0; i <= 11; ++i) {
        choose(b.CmbBxAppareil, i), choose(a.CmbBxAppareil, i);
        QCOMPARE(a.Graphic->surface().image(), b.Graphic->surface().image());
        QCOMPARE(see(a, "ChkBxFlash TxtIsoMaxi"), see(b, "ChkBxFlash TxtIsoMaxi"));
    }
    QVERIFY(!a.CmbBxPerfStab->isEnabled());
}
// The student's files, read at start: their bodies after the program's own, their lenses
// first; a damaged line is named, the rest is read.
void TestBoitiers::ownEquipment() {
    const QString dir = platform::dossierUtilisateur();
    QVERIFY(QDir().mkpath(dir));
    write(dir + "/MesBoitiers.csv", "Marque,Modele,VitesseMax,IsoMini,IsoMaxi,Monture\n"
                                    "Zorki,Club 1,4000,100,6400,Sony E\n"
                                    "Zorki,abîmé,vite,100,6400,\n"
                                    "Sony,ILCE-7M4,8000,100,51200,\n"); // as its photos name it
    write(dir + "/MesObjectifs.txt", "Nom,FocalMini,FocalMaxi,DiafMini,DiafMiniZoom,DiafMaxi,"
                                     "DiafMaxiZoom,Stabilisateur\r\n"
                                     "\"Mon 35mm\",35,35,1.4,1.4,16,16,0\r\n");
    DialogRecorder dialogs;
    Form1 f(KAVEL_DATA_DIR);
    QTRY_COMPARE(dialogs.boxes.size(), 1);
    QVERIFY(dialogs.boxes[0].text.contains("MesBoitiers.csv"));
    QVERIFY(dialogs.boxes[0].text.contains("3"));
    QCOMPARE(f.CmbBxAppareil->itemText(12), "Zorki Club 1");
    QCOMPARE(f.CmbBxObjectif->itemText(0), "Mon 35mm");
    QCOMPARE(f.CmbBxObjectif->itemText(1), "EF-S 18-55mm F3.5-5.6"); // then the catalogue's
    choose(f.CmbBxAppareil, 12);
    QCOMPARE(see(f, "TxtIsoMaxi ChkBxFlash"), "6400 [ ] Flash interne : synchro inconnue");
    QVERIFY(!f.ChkBxFlash->isEnabled());
    // Without a mount, the lens database knows the body by its Exif names.
    QTRY_VERIFY(f.lensfunCharge());
    choose(f.CmbBxAppareil, "Sony ILCE-7M4");
    QVERIFY(f.CmbBxObjectif->findText("Sony E 18-55mm f/3.5-5.6 OSS") > 0);
}
// "Mes appareils…" keeps the body on show; the list has it at once and at the next start, its
// file is written whole.
void TestBoitiers::ownBodyAdded() {
    auto w = std::make_unique<FenetreActive>(KAVEL_DATA_DIR);
    choose(w->form.CmbBxAppareil, "Nikon Z6");
    QTimer::singleShot(0, [] { // once the dialog runs
        auto *d = qobject_cast<DialogueMateriel *>(QApplication::activeModalWidget());
        QVERIFY(d);
        QTest::mouseClick(d->BtnAjouterBoitierAffiche, Qt::LeftButton);
        QTest::mouseClick(d->Boutons->button(QDialogButtonBox::Save), Qt::LeftButton);
    });
    QTest::mouseClick(w->form.BtnMesAppareils, Qt::LeftButton);
    QCOMPARE(w->form.CmbBxAppareil->itemText(12), "Nikon Z6");
    QCOMPARE(w->form.CmbBxAppareil->currentText(), "Nikon Z6"); // still on show
    w.reset();
    FenetreActive again(KAVEL_DATA_DIR);
    QCOMPARE(again.form.CmbBxAppareil->itemText(12), "Nikon Z6");
    const LectureBoitiers read = LireBoitiers(platform::dossierUtilisateur() + "/MesBoitiers.csv");
    QCOMPARE(read.boitiers.size(), 1u);
    QCOMPARE(read.boitiers[0].Monture, "Nikon Z");
}
// The body, lens and level chosen last come back; a first start is the start-up as it always was.
void TestBoitiers::rememberedChoices() {
    {
        DialogRecorder boxes;
        Form1 f(KAVEL_DATA_DIR, nullptr, Form1::Memoire::Utilisateur);
        QCOMPARE(f.CmbBxAppareil->currentIndex(), 0);
        QCOMPARE(see(f, "CmbBxObjectif TxtValeur"), "EF-S 18-55mm F3.5-5.6 11");
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
