// The main window driven through its real controls: the light panel and calculator, the key
// filters, Enter, bodies and lenses, the hover box.
#include "chart/AxesGrid.h"
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
#include <QWheelEvent>

using namespace kavel;
using Widgets = std::initializer_list<QWidget *>;

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
    bool blank(); // nothing drawn on the chart
    QString see(const QString &names);
    void setTexts(const QString &names, const QString &values);
    void setTriplet(int speed, int diaf, int iso);
    QLineEdit *select(const QString &box); // its whole text, to type or paste over
private slots:
    void init() { m_w = std::make_unique<FenetreActive>(KAVEL_DATA_DIR), f = &m_w->form; }
    void cleanup() { m_w.reset(); }
    void calculator_data(); void calculator(); void sliderDragAndTimer(); void sliderKeys_data();
    void sliderKeys(); void keyFilters_data(); void keyFilters(); void paste_data(); void paste();
    void editingKeys(); void calculatorKeysAndLists(); void enterRedraws(); void bodies_data();
    void bodies(); void lenses(); void hoverBox(); void sizeLimitsAndWelcome();
    void inputRanges_data(); void inputRanges();
};

bool TestForm1::blank() {
    DrawingSurface empty(f->Graphic->surface().image().size());
    empty.clear();
    return f->Graphic->surface().image() == empty.image();
}
// What the named controls show, one space apart: a text, a list's choice, a slider's value, a
// check box's tick ([x] or [ ]; (x) or ( ) when disabled) and caption; a hidden one in braces.
QString TestForm1::see(const QString &names) {
    QStringList seen;
    for (const QString &name : names.split(' ')) {
        QWidget *w = f->findChild<QWidget *>(name);
        QString s;
        if (auto *e = qobject_cast<QLineEdit *>(w)) s = e->text();
        else if (auto *c = qobject_cast<QComboBox *>(w)) s = c->currentText();
        else if (auto *l = qobject_cast<QLabel *>(w)) s = l->text();
        else if (auto *a = qobject_cast<QAbstractSlider *>(w)) s = QString::number(a->value());
        else if (auto *b = qobject_cast<QCheckBox *>(w))
            s = QString(b->isEnabled() ? "[%1] " : "(%1) ").arg(b->isChecked() ? 'x' : ' ')
                + b->text();
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

void TestForm1::calculator_data() {
    QTest::addColumn<QString>("triplet");
    QTest::addColumn<QString>("shown"); // slider, level, lux
    QTest::addColumn<QString>("exact"); // lux
    QTest::newRow("1/125 F/8 ISO 100") << "1/125 8 100" << "130 13 20 000 lux" << "20480";
    QTest::newRow("ISO 25600") << "1/125 8 25600" << "50 5 80 lux" << "80";
    QTest::newRow("above 18") << "1/8000 22 50" << "180 18 650 000 lux" << "655360";
    QTest::newRow("where the slider stands") << "1/8 16 100" << "110 11 5 100 lux" << "5120";
}
void TestForm1::calculator() {
    QFETCH(QString, triplet); QFETCH(QString, shown); QFETCH(QString, exact);
    const QString lists = "CmbBxSpeed CmbBxDiaf CmbBxIso";
    QCOMPARE(f->LblLUX->toolTip(), "Valeur exacte : 5120 lux"); // at start-up
    f->TxtValeur->setText("1,5"); // the slider follows a typed level
    const QStringList t = triplet.split(' ');
    for (int i = 0; DropDownComboBox *list : {f->CmbBxSpeed, f->CmbBxDiaf, f->CmbBxIso})
        list->setCurrentIndex(list->findText(t[i++]));
    click(f->BtnCalculLumiere);
    QCOMPARE(see("HScroll4 TxtValeur LblLUX " + lists), shown + ' ' + triplet); // kept on show
    QCOMPARE(f->LblLUX->toolTip(), "Valeur exacte : " + exact + " lux");
    QVERIFY(!f->bCalculLumiere);
    // The chosen couple's ring: four pixels thick, 4 to 7 pixels off its centre.
    const ChartView c = f->chart();
    const double x = c.cx(f->scales.speedValue(f->CmbBxSpeed->currentIndex()));
    for (int h : {-8, -7, -3, 3, 4, 7, 8}) // 1/8000 s lies beyond the chart
        QCOMPARE(c.surface.pixel(x + h, c.cy(t[1].toDouble())) == QRgb(0xFFFFFF00),
                 t[0] != "1/8000" && std::abs(h) >= 4 && std::abs(h) <= 7);
    // A typed level no longer comes from the triplet: the lists forget it, OK does nothing.
    f->TxtValeur->setText("7");
    click(f->BtnCalculLumiere);
    QCOMPARE(see("HScroll4 TxtValeur " + lists), "70 7 Speed Diaf Iso");
}
void TestForm1::sliderDragAndTimer() {
    QScrollBar *s = f->HScroll4;
    QSignalSpy shown(f, &Form1::miniaturesRafraichies);
    const auto strip = [&] {
        return QString("timer %1, follows %2, shown %3")
            .arg(f->TimerMiniature->isActive()).arg(f->bInhibeMiniature).arg(shown.count());
    };
    f->TimerMiniature->stop();
    s->setSliderDown(true), s->setSliderPosition(120);
    QCOMPARE(see("LblLUX"), "10 000 lux");
    s->setSliderPosition(125);
    QCOMPARE(see("HScroll4 TxtValeur"), "110 12,5"); // the value changes on release only
    // The panel's grey follows the level, halves to even; its captions turn black above 9.
    for (auto [at, grey, caption] :
         {std::tuple{90, 159, "#ffffff"}, {91, 160, "#000000"}, {-20, 42, "#ffffff"}}) {
        s->setSliderPosition(at);
        QCOMPARE(f->Label11->palette().color(QPalette::Window), QColor(grey, grey, grey));
        for (QLabel *label : {f->Label11, f->Label6, f->Label9, f->Label17})
            QCOMPARE(label->palette().color(QPalette::WindowText).name(), caption);
    }
    s->setSliderPosition(125);
    QCOMPARE(strip(), "timer 0, follows 0, shown 0");
    s->setSliderDown(false);
    QCOMPARE(see("HScroll4"), "125");
    QCOMPARE(strip(), "timer 0, follows 1, shown 1"); // at once at the end of the drag
    // An arrow click moves a tenth, restarts the timer and goes back to the first photo.
    f->IndexMiniature = 3;
    s->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(see("TxtValeur"), "12,6");
    QCOMPARE(strip(), "timer 1, follows 1, shown 1");
    QCOMPARE(f->IndexMiniature, 0);
    s->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(see("TxtValeur"), "11,6");
    f->TxtValeur->setText("9");
    QVERIFY(shown.wait());
    QCOMPARE(strip(), "timer 0, follows 1, shown 2"); // once after the last restart, no more
}
// The slider's keys and wheel go the way they point, from any level, even a typed one.
void TestForm1::sliderKeys_data() {
    QTest::addColumn<int>("key"); // 0: the wheel turned up one notch
    QTest::addColumn<QString>("level");
    QTest::newRow("Right") << int(Qt::Key_Right) << "9,1";
    QTest::newRow("Up") << int(Qt::Key_Up) << "9,1";
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << "10";
    QTest::newRow("Left") << int(Qt::Key_Left) << "8,9";
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << "8";
    QTest::newRow("wheel up") << 0 << "9,3";
}
void TestForm1::sliderKeys() {
    QFETCH(int, key); QFETCH(QString, level);
    QTest::keyClicks(select("TxtValeur"), "9.04");
    QCOMPARE(see("HScroll4 TxtValeur"), "90 9,04"); // the slider does not write it back
    f->HScroll4->setFocus();
    const QPointF at(5, 5);
    QWheelEvent wheel(at, f->HScroll4->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    if (key) QTest::keyClick(f->HScroll4, Qt::Key(key));
    else QApplication::sendEvent(f->HScroll4, &wheel);
    QCOMPARE(see("TxtValeur"), level);
}
void TestForm1::keyFilters_data() {
    QTest::addColumn<QString>("row"); // box, typed, kept
    QTest::newRow("point becomes comma") << "TxtDiafMini 5.6 5,6";
    QTest::newRow("comma kept") << "TxtDiafMiniZoom 5,6 5,6";
    QTest::newRow("comma in a focal box") << "TxtFocalMaxi 10,5 10,5";
    QTest::newRow("minus in the level") << "TxtValeur -2 -2";
    QTest::newRow("level above 18") << "TxtValeur 25 18";
    QTest::newRow("level below -6") << "TxtValeur -7 -6";
    QTest::newRow("minus in an ISO box") << "TxtIsoMini -2 2";
    QTest::newRow("letters in a speed box") << "TxtVitesseMaxi 1/2000 12000";
}
void TestForm1::keyFilters() {
    QFETCH(QString, row);
    const QStringList r = row.split(' ');
    QLineEdit *edit = select(r[0]);
    QTest::keyClicks(edit, r[1]);
    QCOMPARE(edit->text(), r[2]);
    QTest::keyClick(edit, Qt::Key_Backspace); // still edits
    QCOMPARE(edit->text(), r[2].chopped(1));
    // A key in a lens box makes the lens the user's own.
    QCOMPARE(see("CmbBxObjectif").isEmpty(), r[0].contains("Diaf") || r[0].contains("Focal"));
}
// A paste goes through the rule typing follows: what is not a number is refused.
void TestForm1::paste_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::newRow("minus inside") << "TxtIsoMaxi" << "5-3" << "1600";
    QTest::newRow("two commas") << "TxtDiafMini" << "1,2,3" << "3,5";
    QTest::newRow("letters") << "TxtVitesseMaxi" << "lux abc" << "4000";
    QTest::newRow("point and blanks") << "TxtFocalMaxi" << " 70.5\n" << "70,5";
    QTest::newRow("negative level") << "TxtValeur" << "-3" << "-3";
    QTest::newRow("negative ISO") << "TxtIsoMini" << "-3" << "100";
}
void TestForm1::paste() {
    QFETCH(QString, box); QFETCH(QString, pasted); QFETCH(QString, kept);
    QLineEdit *edit = select(box);
    QApplication::clipboard()->setText(pasted);
    ctrl(edit, Qt::Key_V);
    QCOMPARE(edit->text(), kept);
}
// Ctrl with a key edits the number boxes; only typed characters are filtered.
void TestForm1::editingKeys() {
    QLineEdit *box = f->TxtIsoMaxi;
    box->setFocus(), ctrl(box, Qt::Key_A), ctrl(box, Qt::Key_C);
    QCOMPARE(QApplication::clipboard()->text(), "1600");
    QTest::keyClicks(box, "5"); // replaces what Ctrl+A selected
    QCOMPARE(box->text(), "5");
    ctrl(box, Qt::Key_V);
    QCOMPARE(box->text(), "51600");
    ctrl(box, Qt::Key_Z);
    QCOMPARE(box->text(), "5");
    ctrl(box, Qt::Key_A), ctrl(box, Qt::Key_X);
    QCOMPARE(box->text(), "");
}
// A key in the calculator's lists computes from the triplet as it stands; Enter in an open
// list chooses and computes, a mouse choice waits for OK.
void TestForm1::calculatorKeysAndLists() {
    enter(f->TxtDiafMaxi, Qt::Key_A); // dropped, yet the lens is the user's own
    QCOMPARE(see("TxtDiafMaxi CmbBxObjectif"), "22 ");
    setTriplet(36, 18, 1);
    enter(f->CmbBxSpeed);
    QCOMPARE(see("TxtValeur"), "13");
    f->CmbBxIso->setCurrentIndex(2); // ISO 200: one EV less
    enter(f->CmbBxIso, Qt::Key_Shift); // key down sees keys that type nothing
    QCOMPARE(see("TxtValeur"), "12");
    f->CmbBxDiaf->setCurrentIndex(21); // F/11
    enter(f->CmbBxDiaf);
    QCOMPARE(see("TxtValeur"), "12,9");
    f->TxtValeur->setText("5");
    setTriplet(36, 21, 2);
    f->CmbBxIso->showPopup();
    QAbstractItemView *list = f->CmbBxIso->view();
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Down), QTest::keyClick(list, Qt::Key_Return); // ISO 200
    QCOMPARE(see("CmbBxIso TxtValeur"), "200 12,9");
    f->CmbBxIso->showPopup();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(see("CmbBxIso TxtValeur"), "100 12,9");
}
// Enter from anywhere redraws the chart once, with the shorter focal length first.
void TestForm1::enterRedraws() {
    const QString lens = "TxtFocalMini TxtFocalMaxi TxtDiafMini TxtDiafMiniZoom TxtDiafMaxi "
                         "TxtDiafMaxiZoom";
    setTexts(lens, "55 18 2,8 4 16 32");
    f->Graphic->surface().clear();
    enter(f->TxtValeur);
    QCOMPARE(see(lens), "18 55 2,8 4 16 32"); // the typed apertures survive
    QVERIFY(!blank());
    QCOMPARE(f->NbCouple, 5 * 16);
    // Equal focal lengths: Enter gives the zoom boxes the short end's apertures.
    setTexts("TxtFocalMaxi TxtDiafMiniZoom", "18 9");
    enter(f->TxtValeur, Qt::Key_Enter);
    QCOMPARE(see("TxtDiafMiniZoom TxtDiafMaxiZoom"), "{2,8} {16}");
    // Each Enter reaches the window once, from any control; other keys do not.
    f->TxtIsoMaxi->setText("x"); // each recalculation shows one box
    for (QWidget *w : Widgets{f->ChkBxFlash, f->TxtValeur, f->BtnGO}) {
        boxes().clear(), enter(w);
        QCOMPARE(boxes().size(), 1);
    }
    boxes().clear();
    enter(f); // the window itself, then with no control holding the focus
    QApplication::focusWidget()->clearFocus();
    QTest::keyClick(f, Qt::Key_Return), QTest::keyClick(f->TxtValeur, Qt::Key_Tab);
    QCOMPARE(boxes().size(), 2);
    // Slow speeds: the shortest time becomes 30 s and the chart its own range; back to 1 s.
    setTexts("TxtIsoMaxi TxtFocalMaxi", "1600 55");
    f->ChkBxVitesseLente->setChecked(true);
    QCOMPARE(see("TxtVitesseMini"), "0,0333");
    const ChartView c = f->chart();
    QCOMPARE(c.range.LogVitesseMin, std::log(1.0 / 40));
    QCOMPARE(*c.surface.pixel(c.cx(1.0 / 10), qRound(c.cy(1.2))), colours::kGrilleClaire);
    f->ChkBxVitesseLente->setChecked(false);
    QCOMPARE(see("TxtVitesseMini"), "1");
    QCOMPARE(f->chart().range.LogVitesseMin, std::log(1 / 1.4));
}
void TestForm1::bodies_data() {
    QTest::addColumn<int>("body");
    QTest::addColumn<QString>("shown"); // flash, fastest speed box, ISO range
    QTest::addColumn<int>("fastest");
    QTest::addColumn<int>("sync"); // 0: no flash
    QTest::addColumn<int>("lenses"); // of the catalogue file
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
    const QString tooltip = f->ChkBxFlash->toolTip();
    f->ChkBxFlash->setChecked(true);
    QCOMPARE(see("TxtVitesseMaxi"), "200");
    choose(f->CmbBxAppareil, body);
    QCOMPARE(see("ChkBxFlash TxtVitesseMaxi TxtIsoMini TxtIsoMaxi"), shown);
    QCOMPARE(f->ChkBxFlash->toolTip(),
             sync ? QString("L'utilisation du flash limite la vitesse à 1/%1s.").arg(sync)
                  : tooltip);
    QCOMPARE(QPair(f->VitesseMaxBoitier, f->VitesseFlash), QPair(double(fastest), double(sync)));
    QCOMPARE(f->range.LogVitesseMax, std::log(fastest * 1.25)); // redrawn for that body
    // The catalogue file's lenses first, then the lens database's for the mount.
    QCOMPARE(f->NbObjectifs, f->CmbBxObjectif->count());
    QCOMPARE(f->CmbBxObjectif->count() > lenses, lenses > 0);
    if (lenses > 0)
        QCOMPARE(QPair(f->TabObjectifs[lenses - 1].FermetureEstimee,
                       f->TabObjectifs[lenses].FermetureEstimee), QPair(false, true));
    QCOMPARE(see("CmbBxObjectif"), "EF-S 18-55mm F3.5-5.6"); // the name survives
    // Back to a flash body after one without: the flash is offered, not ticked.
    choose(f->CmbBxAppareil, NikonD80);
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
    QVERIFY(!f->bChangementObjectif);
    QCOMPARE(f->NbCouple, 80); // F/4 to F/22: 16 f-numbers, 5 sensitivities
    // A typed focal length makes the lens the user's own; equal lengths hide the zoom column.
    f->TxtFocalMini->setText("50");
    QCOMPARE(see("CmbBxObjectif LblDiafZoomMini"), " à 50mm F/");
    f->TxtFocalMaxi->setText("50");
    QCOMPARE(see("TxtDiafMini TxtDiafMaxi TxtDiafMiniZoom TxtDiafMaxiZoom"), "4 22 {4} {22}");
    f->TxtFocalMaxi->setText("50,0"); // not the same text: a zoom again
    QVERIFY(f->TxtDiafMiniZoom->isVisible());
}
void TestForm1::hoverBox() {
    QLabel *box = f->TxtInfoBulle;
    QTest::mouseMove(f->Graphic, QPoint(300, 200)); // then onto another control
    QTRY_VERIFY(box->isVisible());
    QTest::mouseMove(f->BtnRépartition);
    QTRY_VERIFY(box->isHidden());
    const TypeCouple &c = f->TabCouple.back();
    moveOver(f->Graphic, QPointF(c.X + 2, c.Y + 1));
    QVERIFY(box->isVisible());
    QVERIFY(box->text().contains("  -  F/"));
    QCOMPARE(box->pos(), QPoint(qRound(c.X + 2 + 16), qRound(c.Y + 1 + 16)));
    moveOver(f->Graphic, QPointF(f->chart().cx(5), f->chart().cy(11)));
    QVERIFY(box->text().startsWith("LIMITE DE FLOU DE BOUGE"));
    const int right = f->Graphic->width() - 20; // flips to the left of the pointer
    moveOver(f->Graphic, QPointF(right, 100));
    QCOMPARE(box->pos(), QPoint(right - box->width() - 16, 116));
    // Hidden off the chart, on the box itself, without tooltips.
    moveOver(f, QPointF(600, 650));
    QVERIFY(!box->isVisible());
    moveOver(f->Graphic, QPointF(300, 200)), moveOver(box, QPointF(5, 5));
    QVERIFY(!box->isVisible());
    f->ChkBxToolTip->setChecked(false), moveOver(f->Graphic, QPointF(300, 200));
    QVERIFY(!box->isVisible());
    QVERIFY(!box->text().isEmpty()); // kept up to date while hidden
}
void TestForm1::sizeLimitsAndWelcome() {
    f->resize(500, 400); // the whole window stays within 980 x 737 .. 2500 x 2500
    QCOMPARE(f->frameGeometry().size(), QSize(980, 737));
    f->resize(4000, 4000);
    QCOMPARE(f->frameGeometry().size(), QSize(2500, 2500));
    FenetreActive g(f->programFolder()); // the welcome shows the first time a window is active
    f->activateWindow();
    QTRY_VERIFY(f->isActiveWindow());
    g.form.activateWindow();
    QTRY_VERIFY(g.form.isActiveWindow());
    QCOMPARE(g.dialogs.boxes.size() + boxes().size(), 0);
}
// A value out of a box's range, or no number, refuses the whole chart (or the calculator's
// triplet) and says what the box accepts.
void TestForm1::inputRanges_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("said");
    const QString open = "Ouverture (pleine ouverture", close = "Fermeture (fermeture maxi";
    const QString aperture = " : un nombre entre 0,5 et 128", zoom = " à la focale maxi)";
    const QString focal = " : un nombre entre 1 et 5000 (mm)";
    const QString speed = " : un nombre plus grand que 0, au plus 1 000 000 (1/s)";
    const QString iso = " : un nombre entre 1 et 10 000 000";
    QTest::newRow("aperture 0") << "TxtDiafMini" << "0" << open + ")" + aperture;
    QTest::newRow("zoom aperture x") << "TxtDiafMiniZoom" << "x" << open + zoom + aperture;
    QTest::newRow("closing 200") << "TxtDiafMaxi" << "200" << close + ")" + aperture;
    QTest::newRow("zoom closing x") << "TxtDiafMaxiZoom" << "x" << close + zoom + aperture;
    QTest::newRow("focal 0") << "TxtFocalMini" << "0" << "Focales (focale mini)" + focal;
    QTest::newRow("focal x") << "TxtFocalMaxi" << "x" << "Focales (focale maxi)" + focal;
    QTest::newRow("speed 0") << "TxtVitesseMini" << "0" << "Vitesses (la plus lente)" + speed;
    QTest::newRow("speed x") << "TxtVitesseMaxi" << "x" << "Vitesses (la plus rapide)" + speed;
    QTest::newRow("ISO high") << "TxtIsoMaxi" << "20000000" << "Iso (sensibilité maxi)" + iso;
    QTest::newRow("lone comma") << "TxtIsoMini" << "," << "Iso (sensibilité mini)" + iso;
    QTest::newRow("calculator aperture") << "CmbBxDiaf" << "0" << "Diaphragme" + aperture;
    QTest::newRow("calculator ISO") << "CmbBxIso" << "abc" << "Iso" + iso;
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
        QVERIFY(blank());
        QCOMPARE(f->LstCouple->count() + f->NbCouple + int(f->TabCouple.size()), 0);
    } else {
        setTriplet(36, 18, 1);
        auto *list = f->findChild<DropDownComboBox *>(box);
        list->setCurrentIndex(-1), list->setEditText(text);
        click(f->BtnCalculLumiere);
        QCOMPARE(see("TxtValeur"), "11"); // nothing computed
        focus = list;
    }
    QCOMPARE(boxes().size(), 1);
    QCOMPARE(boxes().first().text, "Erreur de saisie\n" + said);
    QCOMPARE(QApplication::focusWidget(), focus);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
