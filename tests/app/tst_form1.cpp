// The main window through its real controls.
#include "platform/DropDownComboBox.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>

using namespace kavel;

namespace {
enum Boitier { Canon1DsMarkIII = 2, NikonD40 = 3, NikonD80 = 7, NikonD3 = 9, Autres = 11 };
void choose(DropDownComboBox *list, int i) { list->setCurrentIndex(i), emit list->activated(i); }
void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
void enter(QWidget *w, Qt::Key key = Qt::Key_Return) { w->setFocus(), QTest::keyClick(w, key); }
void ctrl(QWidget *w, Qt::Key key) { QTest::keyClick(w, key, Qt::ControlModifier); }
} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
    std::unique_ptr<FenetreActive> m_w;
    Form1 *f = nullptr;
    QList<platform::MessageBox> &boxes() { return m_w->dialogs.boxes; }
    QString see(const QString &names);
    void setTexts(const QString &names, const QString &values);
    void setTriplet(int speed, int diaf, int iso);
    QLineEdit *select(const QString &box);
private slots:
    void init() { m_w = std::make_unique<FenetreActive>(KAVEL_DATA_DIR), f = &m_w->form; }
    void cleanup() { m_w.reset(); }
    void calculator(); void sliderDragAndTimer(); void numberBoxes_data(); void numberBoxes();
    void editingKeys(); void calculatorKeysAndLists(); void enterRedraws(); void bodies_data();
    void bodies(); void lenses(); void hoverBox(); void sizeLimitsAndWelcome();
    void inputRanges_data(); void inputRanges();
};

// What the named controls show: text, choice, value, tick ([x]; (x) disabled); {hidden}.
QString TestForm1::see(const QString &names) {
    QStringList seen;
    for (const QString &name : names.split(' ')) {
        QWidget *w = f->findChild<QWidget *>(name);
        QString s = w->property(qobject_cast<QComboBox *>(w) ? "currentText" : "text").toString();
        if (auto *a = qobject_cast<QAbstractSlider *>(w)) s = QString::number(a->value());
        if (auto *b = qobject_cast<QCheckBox *>(w))
            s = QString(b->isEnabled() ? "[%1] " : "(%1) ").arg(b->isChecked() ? 'x' : ' ') + s;
        seen << (w->isVisible() ? s : '{' + s + '}');
    }
    return seen.join(' ');
}
void TestForm1::setTexts(const QString &names, const QString &values) {
    for (int i = 0; const QString &n : names.split(' '))
        f->findChild<QLineEdit *>(n)->setText(values.split(' ')[i++]);
}
void TestForm1::setTriplet(int speed, int diaf, int iso) {
    f->CmbBxSpeed->setCurrentIndex(speed), f->CmbBxDiaf->setCurrentIndex(diaf);
    f->CmbBxIso->setCurrentIndex(iso);
}
QLineEdit *TestForm1::select(const QString &box) {
    auto *edit = f->findChild<QLineEdit *>(box);
    edit->setFocus(), edit->selectAll();
    return edit;
}

// OK shows the triplet's level, the triplet kept; a typed level clears the lists.
void TestForm1::calculator() {
    const QString lists = " CmbBxSpeed CmbBxDiaf CmbBxIso";
    f->TxtValeur->setText("11,04"); // the slider follows: 110
    setTriplet(24, 24, 1), click(f->BtnCalculLumiere);
    QCOMPARE(see("HScroll4 TxtValeur LblLUX" + lists), "110 11 5 100 lux 1/8 16 100");
    setTriplet(36, 18, 1), click(f->BtnCalculLumiere);
    QCOMPARE(see("HScroll4 TxtValeur LblLUX" + lists), "130 13 20 000 lux 1/125 8 100");
    QCOMPARE(f->LblLUX->toolTip(), "Valeur exacte : 20480 lux");
    const ChartView c = f->chart(); // the couple's ring
    QCOMPARE(*c.surface.pixel(c.cx(f->scales.speedValue(36)) + 5, c.cy(8)), QRgb(0xFFFFFF00));
    f->TxtValeur->setText("7");
    click(f->BtnCalculLumiere);
    QCOMPARE(see("HScroll4 TxtValeur" + lists), "70 7 Speed Diaf Iso");
}
void TestForm1::sliderDragAndTimer() {
    QScrollBar *s = f->HScroll4;
    QSignalSpy shown(f, &Form1::miniaturesRafraichies);
    const auto strip = [&] {
        return QString("%1: timer %2, follows %3, shown %4").arg(s->value())
            .arg(f->TimerMiniature->isActive()).arg(f->bInhibeMiniature).arg(shown.count());
    };
    f->TimerMiniature->stop();
    s->setSliderDown(true); // a drag: the value changes on release only
    for (auto [at, grey, caption] : {std::tuple{90, 159, Qt::white}, {91, 160, Qt::black}}) {
        s->setSliderPosition(at); // the panel's grey follows; black captions above 160
        QCOMPARE(f->Label11->palette().color(QPalette::Window), QColor(grey, grey, grey));
        QCOMPARE(f->Label17->palette().color(QPalette::WindowText), caption);
    }
    s->setSliderPosition(125);
    QCOMPARE(see("TxtValeur"), "12,5");
    QCOMPARE(strip(), "110: timer 0, follows 0, shown 0");
    s->setSliderDown(false);
    QCOMPARE(strip(), "125: timer 0, follows 1, shown 1");
    f->IndexMiniature = 3; // an arrow: the timer restarted, back to the first photo
    s->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(strip(), "126: timer 1, follows 1, shown 1");
    QCOMPARE(f->IndexMiniature, 0);
    QTest::keyClicks(select("TxtValeur"), "9.04");
    QCOMPARE(see("HScroll4 TxtValeur"), "90 9,04"); // the slider does not write it back
    QVERIFY(shown.wait());
    QCOMPARE(strip(), "90: timer 0, follows 1, shown 2"); // once, after the last restart
    enter(s, Qt::Key_Up); // from the typed level
    QCOMPARE(see("TxtValeur"), "9,1");
    QTest::keyClick(s, Qt::Key_PageDown);
    QCOMPARE(see("TxtValeur"), "8,1");
}
// Number boxes keep numbers, typed or pasted; a key in an aperture box: the user's lens.
void TestForm1::numberBoxes_data() {
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("kept");
    QTest::newRow("point") << false << "TxtDiafMini" << "5.6" << "5,6";
    QTest::newRow("zoom") << false << "TxtDiafMiniZoom" << "5,6" << "5,6";
    QTest::newRow("level 25") << false << "TxtValeur" << "25" << "18";
    QTest::newRow("level -7") << false << "TxtValeur" << "-7" << "-6";
    QTest::newRow("ISO -2") << false << "TxtIsoMini" << "-2" << "2";
    QTest::newRow("pasted 5-3") << true << "TxtValeur" << "5-3" << "11";
    QTest::newRow("pasted 1,2,3") << true << "TxtDiafMini" << "1,2,3" << "3,5";
    QTest::newRow("pasted point, blanks") << true << "TxtFocalMaxi" << " 70.5\n" << "70,5";
    QTest::newRow("pasted level -3") << true << "TxtValeur" << "-3" << "-3";
    QTest::newRow("pasted ISO -3") << true << "TxtIsoMini" << "-3" << "100";
}
void TestForm1::numberBoxes() {
    QFETCH(bool, pasted); QFETCH(QString, box); QFETCH(QString, input); QFETCH(QString, kept);
    QLineEdit *edit = select(box);
    QApplication::clipboard()->setText(input);
    pasted ? ctrl(edit, Qt::Key_V) : QTest::keyClicks(edit, input);
    QCOMPARE(edit->text(), kept);
    if (pasted) return;
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), kept.chopped(1));
    QCOMPARE(see("CmbBxObjectif").isEmpty(), box.contains("Diaf"));
}
// Ctrl with a key edits: no character filtered.
void TestForm1::editingKeys() {
    QLineEdit *box = f->TxtIsoMaxi;
    box->setFocus(), ctrl(box, Qt::Key_A), ctrl(box, Qt::Key_C);
    QTest::keyClicks(box, "5"), ctrl(box, Qt::Key_V);
    QCOMPARE(box->text(), "51600");
}
// A key in a calculator list computes, so does Enter in its open list.
void TestForm1::calculatorKeysAndLists() {
    setTriplet(36, 18, 1);
    enter(f->CmbBxSpeed);
    QCOMPARE(see("TxtValeur"), "13");
    f->CmbBxIso->setCurrentIndex(2);
    enter(f->CmbBxIso, Qt::Key_Shift); // a key typing nothing
    QCOMPARE(see("TxtValeur"), "12");
    f->CmbBxDiaf->setCurrentIndex(21);
    enter(f->CmbBxDiaf);
    QCOMPARE(see("TxtValeur"), "12,9");
    f->TxtValeur->setText("5");
    setTriplet(36, 21, 2), f->CmbBxIso->showPopup();
    QTest::keyClick(f->CmbBxIso->view(), Qt::Key_Return);
    QCOMPARE(see("TxtValeur"), "12,9");
}
// Enter from anywhere redraws the chart once, with the shorter focal length first.
void TestForm1::enterRedraws() {
    const QString lens = "TxtFocalMini TxtFocalMaxi TxtDiafMini TxtDiafMiniZoom TxtDiafMaxi "
                         "TxtDiafMaxiZoom";
    setTexts(lens, "55 18 2,8 4 16 32");
    enter(f->TxtValeur);
    QCOMPARE(see(lens), "18 55 2,8 4 16 32");
    setTexts("TxtFocalMaxi TxtDiafMiniZoom", "18 9"); // a fixed focal length
    enter(f->TxtValeur, Qt::Key_Enter);
    QCOMPARE(see("TxtDiafMiniZoom TxtDiafMaxiZoom"), "{2,8} {16}");
    f->TxtIsoMaxi->setText("x"); // each recalculation shows one box
    boxes().clear(), enter(f->ChkBxFlash), enter(f->BtnGO), enter(f);
    QApplication::focusWidget()->clearFocus(); // then with no focus at all
    QTest::keyClick(f, Qt::Key_Return), QTest::keyClick(f->TxtValeur, Qt::Key_Tab);
    QCOMPARE(boxes().size(), 4);
    f->ChkBxVitesseLente->setChecked(true); // slow speeds
    QCOMPARE(see("TxtVitesseMini"), "0,0333");
    QCOMPARE(f->chart().range.LogVitesseMin, std::log(1.0 / 40));
}
void TestForm1::bodies_data() {
    QTest::addColumn<int>("body");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("fastest");
    QTest::addColumn<int>("sync");
    QTest::addColumn<int>("lenses"); // the catalogue's
    QTest::newRow("Canon 1Ds Mark III") << int(Canon1DsMarkIII)
        << "( ) Pas de flash interne 8000 50 6400" << 8000 << 0 << 42;
    QTest::newRow("Nikon D40") << int(NikonD40)
        << "[x] Flash interne (1/500) 500 200 3200" << 4000 << 500 << 38;
    QTest::newRow("other bodies") << int(Autres)
        << "[x] Flash interne (1/200) 200 100 1600" << 4000 << 200 << 0;
}
void TestForm1::bodies() {
    QFETCH(int, body); QFETCH(QString, shown); QFETCH(int, fastest); QFETCH(int, sync);
    QFETCH(int, lenses);
    QTRY_VERIFY(f->lensfunCharge());
    f->ChkBxFlash->setChecked(true);
    QCOMPARE(see("TxtVitesseMaxi"), "200");
    choose(f->CmbBxAppareil, body);
    QCOMPARE(see("ChkBxFlash TxtVitesseMaxi TxtIsoMini TxtIsoMaxi"), shown);
    QCOMPARE(f->ChkBxFlash->toolTip().endsWith(QString(" à 1/%1s.").arg(sync)), sync > 0);
    QCOMPARE(f->range.LogVitesseMax, std::log(fastest * 1.25));
    QCOMPARE(f->CmbBxObjectif->count() > lenses, lenses > 0); // then the lens database's
    if (lenses > 0)
        QCOMPARE(QPair(f->TabObjectifs[lenses - 1].FermetureEstimee,
                       f->TabObjectifs[lenses].FermetureEstimee), QPair(false, true));
    QCOMPARE(see("CmbBxObjectif"), "EF-S 18-55mm F3.5-5.6");
    choose(f->CmbBxAppareil, NikonD80); // flash ticked only if it was
    QCOMPARE(see("ChkBxFlash"), QString(sync ? "[x]" : "[ ]") + " Flash interne (1/200)");
    f->ChkBxFlash->setChecked(false);
    QCOMPARE(see("TxtVitesseMaxi"), "4000");
    f->CmbBxAppareil->setCurrentIndex(NikonD3); // filling a list by code is no choice
    QVERIFY(f->ChkBxFlash->isEnabled());
}
void TestForm1::lenses() {
    const QString lens = "TxtFocalMini TxtFocalMaxi TxtDiafMini TxtDiafMiniZoom TxtDiafMaxi "
                         "TxtDiafMaxiZoom LblDiafZoomMini LblDiafZoomMaxi ChkBxStabilisateur";
    choose(f->CmbBxObjectif, f->CmbBxObjectif->findText("EF 85mm F1.8 USM"));
    QCOMPARE(see(lens), "85 85 1,8 {1,8} 22 {22} à 85mm F/ {à 85mm F/} [ ] Stabilisateur");
    choose(f->CmbBxObjectif, f->CmbBxObjectif->findText("EF-S 17-85mm F4-5.6 IS USM"));
    QCOMPARE(see(lens), "17 85 4 5,6 22 32 à 17mm F/ à 85mm F/ [x] Stabilisateur");
    f->TxtFocalMini->setText("50"); // the user's own lens
    QCOMPARE(see("CmbBxObjectif LblDiafZoomMini"), " à 50mm F/");
    f->TxtFocalMaxi->setText("50");
    QCOMPARE(see("TxtDiafMini TxtDiafMaxi TxtDiafMiniZoom TxtDiafMaxiZoom"), "4 22 {4} {22}");
    f->TxtFocalMaxi->setText("50,0"); // another text: a zoom again
    QVERIFY(f->TxtDiafMiniZoom->isVisible());
}
void TestForm1::hoverBox() {
    QLabel *box = f->TxtInfoBulle;
    const QPoint at(qRound(f->TabCouple.back().X) + 2, qRound(f->TabCouple.back().Y) + 1);
    QTest::mouseMove(f->Graphic, at);
    QTRY_COMPARE(box->pos(), at + QPoint(16, 16));
    QTest::mouseMove(f->BtnRépartition);
    QTRY_VERIFY(box->isHidden());
    moveOver(f, QPointF(600, 650)); // off the chart, on the box, tooltips off
    QVERIFY(!box->isVisible());
    moveOver(f->Graphic, QPointF(300, 200)), moveOver(box, QPointF(5, 5));
    QVERIFY(!box->isVisible());
    f->ChkBxToolTip->setChecked(false), moveOver(f->Graphic, QPointF(300, 200));
    QVERIFY(!box->isVisible());
    QVERIFY(!box->text().isEmpty()); // kept up to date
}
void TestForm1::sizeLimitsAndWelcome() {
    f->resize(500, 400);
    QCOMPARE(f->frameGeometry().size(), QSize(980, 737));
    f->resize(4000, 4000);
    QCOMPARE(f->frameGeometry().size(), QSize(2500, 2500));
    FenetreActive g(f->programFolder()); // a welcome the first time only: none here
    f->activateWindow();
    QTRY_VERIFY(f->isActiveWindow());
    g.form.activateWindow();
    QTRY_VERIFY(g.form.isActiveWindow());
    QCOMPARE(g.dialogs.boxes.size() + boxes().size(), 0);
}
// A value out of range refuses the chart (or the triplet) and says why.
void TestForm1::inputRanges_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("said");
    const QString close = "Fermeture (fermeture maxi", aperture = " : un nombre entre 0,5 et 128";
    QTest::newRow("closing 200") << "TxtDiafMaxi" << "200" << close + ")" + aperture;
    QTest::newRow("zoom closing x")
        << "TxtDiafMaxiZoom" << "x" << close + " à la focale maxi)" + aperture;
    QTest::newRow("focal 0")
        << "TxtFocalMini" << "0" << "Focales (focale mini) : un nombre entre 1 et 5000 (mm)";
    QTest::newRow("speed 0") << "TxtVitesseMini" << "0" << "Vitesses (la plus lente) : un "
                                "nombre plus grand que 0, au plus 1 000 000 (1/s)";
    QTest::newRow("ISO high")
        << "TxtIsoMaxi" << "20000000"
        << "Iso (sensibilité maxi) : un nombre entre 1 et 10 000 000";
    QTest::newRow("calculator aperture") << "CmbBxDiaf" << "0" << "Diaphragme" + aperture;
    QTest::newRow("calculator speed")
        << "CmbBxSpeed" << "1/3" << "Vitesse : une vitesse de la liste";
}
void TestForm1::inputRanges() {
    QFETCH(QString, box); QFETCH(QString, text); QFETCH(QString, said);
    QWidget *focus = f->findChild<QLineEdit *>(box);
    if (focus) {
        f->LstCouple->addItem("ancien");
        static_cast<QLineEdit *>(focus)->setText(text);
        click(f->BtnGO);
        QCOMPARE(f->LstCouple->count() + f->NbCouple + int(f->TabCouple.size()), 0);
    } else {
        setTriplet(36, 18, 1);
        auto *list = f->findChild<DropDownComboBox *>(box);
        list->setCurrentIndex(-1), list->setEditText(text);
        click(f->BtnCalculLumiere);
        QCOMPARE(see("TxtValeur"), "11");
        focus = list;
    }
    QCOMPARE(boxes().size(), 1);
    QCOMPARE(boxes().first().text, "Erreur de saisie\n" + said);
    QCOMPARE(QApplication::focusWidget(), focus);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
