// The main window's reactions, driven through its real controls: the light
// panel and calculator, the key filters, Enter, bodies and lenses, the hover box.
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

namespace {
enum Boitier { Canon1DsMarkIII = 2, NikonD40 = 3, NikonD80 = 7, NikonD3 = 9, Autres = 11 };
// A click.
void choose(DropDownComboBox *list, int index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}
void enter(QWidget *w, Qt::Key key = Qt::Key_Return) { w->setFocus(), QTest::keyClick(w, key); }

bool blank(const QImage &img) // nothing drawn on the chart's surface
{
    DrawingSurface vide(img.size());
    vide.clear();
    return img == vide.image();
}
QStringList texts(std::initializer_list<QLineEdit *> boxes)
{
    QStringList t;
    for (QLineEdit *b : boxes)
        t << b->text();
    return t;
}

QStringList choix(const Form1 &f)
{
    return texts({f.CmbBxSpeed->lineEdit(), f.CmbBxDiaf->lineEdit(), f.CmbBxIso->lineEdit()});
}
} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void init() { m_w = std::make_unique<FenetreActive>(QStringLiteral(KAVEL_DATA_DIR)); }
    void cleanup() { m_w.reset(); }
    void calculator_data() {
        QTest::addColumn<QStringList>("r"); // speed, f-number, ISO; slider, level, lux
        QTest::newRow("1/125 F/8 ISO 100")
            << QStringList{"1/125", "8", "100", "130", "13", "20 000 lux"};
        QTest::newRow("ISO 25600") << QStringList{"1/125", "8", "25600", "50", "5", "80 lux"};
        QTest::newRow("above 18") << QStringList{"1/8000", "22", "50", "180", "18", "650 000 lux"};
        QTest::newRow("where the slider stands")
            << QStringList{"1/8", "16", "100", "110", "11", "5 100 lux"};
    }
    void calculator() {
        QFETCH(QStringList, r);
        Form1 &f = m_w->form;
        const int slider = r[3].toInt();
        QCOMPARE(f.LblLUX->toolTip(), "Valeur exacte : 5120 lux");
        f.TxtValeur->setText(QStringLiteral("1,5")); // the slider follows a typed level
        for (int i = 0; DropDownComboBox *list : {f.CmbBxSpeed, f.CmbBxDiaf, f.CmbBxIso})
            list->setCurrentIndex(list->findText(r[i++]));
        QTest::mouseClick(f.BtnCalculLumiere, Qt::LeftButton);
        QCOMPARE(f.HScroll4->value(), slider);
        QCOMPARE(QStringList({f.TxtValeur->text(), f.LblLUX->text()}), r.mid(4));
        QCOMPARE(choix(f), r.mid(0, 3)); // the triplet stays on show
        QVERIFY(!f.bCalculLumiere);
        // The ring of the chosen couple: four pixels thick, from 4 to 7 pixels off its centre.
        const ChartView chart = f.chart();
        const double x = chart.cx(f.scales.speedValue(f.CmbBxSpeed->currentIndex()));
        const double y = chart.cy(r[1].toDouble());
        const bool dessine = slider < 180; // 1/8000 s lies beyond the chart
        for (int h : {-8, -7, -3, 3, 4, 7, 8})
            QCOMPARE(chart.surface.pixel(x + h, y) == QRgb(0xFFFFFF00),
                     dessine && std::abs(h) >= 4 && std::abs(h) <= 7);
        if (r[4] == "13")
            QCOMPARE(f.LblLUX->toolTip(), "Valeur exacte : 20480 lux");
        // A typed level no longer comes from the triplet: the lists forget it, OK does nothing.
        f.TxtValeur->setText(QStringLiteral("7"));
        QCOMPARE(choix(f), QStringList({"Speed", "Diaf", "Iso"}));
        QTest::mouseClick(f.BtnCalculLumiere, Qt::LeftButton);
        QCOMPARE(f.TxtValeur->text(), "7");
        QCOMPARE(f.HScroll4->value(), 70);
    }
    void sliderDragAndTimer() {
        Form1 &f = m_w->form;
        QSignalSpy refreshed(&f, &Form1::miniaturesRafraichies);
        f.TimerMiniature->stop();
        f.HScroll4->setSliderDown(true);
        f.HScroll4->setSliderPosition(120);
        QCOMPARE(f.LblLUX->text(), "10 000 lux");
        f.HScroll4->setSliderPosition(125);
        QCOMPARE(f.TxtValeur->text(), "12,5");
        QCOMPARE(f.HScroll4->value(), 110); // the value changes on release only
        // The panel's grey follows the level, halves to even; its captions turn black above 9.
        for (auto [position, gris, legende] : {std::tuple{90, 159, "#ffffff"},
                                               {91, 160, "#000000"},
                                               {-20, 42, "#ffffff"}}) {
            f.HScroll4->setSliderPosition(position);
            QCOMPARE(f.Label11->palette().color(QPalette::Window), QColor(gris, gris, gris));
            for (QLabel *label : {f.Label11, f.Label6, f.Label9, f.Label17})
                QCOMPARE(label->palette().color(QPalette::WindowText).name(), legende);
        }
        f.HScroll4->setSliderPosition(125);
        QVERIFY(!f.TimerMiniature->isActive());
        QVERIFY(!f.bInhibeMiniature);
        QVERIFY(refreshed.isEmpty());
        f.HScroll4->setSliderDown(false);
        QCOMPARE(f.HScroll4->value(), 125);
        QCOMPARE(refreshed.count(), 1); // shown at once at the end of the drag
        QVERIFY(f.bInhibeMiniature);
        // An arrow click moves a tenth, restarts the timer and goes back to the first photo.
        f.IndexMiniature = 3;
        f.HScroll4->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(f.TxtValeur->text(), "12,6");
        QVERIFY(f.TimerMiniature->isActive());
        QCOMPARE(f.IndexMiniature, 0);
        f.HScroll4->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(f.TxtValeur->text(), "11,6");
        f.TxtValeur->setText(QStringLiteral("9"));
        QVERIFY(refreshed.wait(2000));
        QTest::qWait(500);
        QCOMPARE(refreshed.count(), 2); // one refresh after the last restart
    }
    void keyFilters_data() {
        QTest::addColumn<QStringList>("r"); // box, typed, kept
        QTest::newRow("point becomes comma") << QStringList{"TxtDiafMini", "5.6", "5,6"};
        QTest::newRow("comma kept") << QStringList{"TxtDiafMiniZoom", "5,6", "5,6"};
        QTest::newRow("comma in a focal box") << QStringList{"TxtFocalMaxi", "10,5", "10,5"};
        QTest::newRow("minus in the level") << QStringList{"TxtValeur", "-2", "-2"};
        QTest::newRow("level above 18") << QStringList{"TxtValeur", "25", "18"};
        QTest::newRow("level below -6") << QStringList{"TxtValeur", "-7", "-6"};
        QTest::newRow("minus in an ISO box") << QStringList{"TxtIsoMini", "-2", "2"};
        QTest::newRow("letters in a speed box") << QStringList{"TxtVitesseMaxi", "1/2000", "12000"};
    }
    void keyFilters() {
        QFETCH(QStringList, r);
        auto *edit = m_w->form.findChild<QLineEdit *>(r[0]);
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, r[1]);
        QCOMPARE(edit->text(), r[2]);
        QTest::keyClick(edit, Qt::Key_Backspace); // still edits
        QCOMPARE(edit->text(), r[2].chopped(1));
        // A key in a lens box makes the lens the user's own.
        QCOMPARE(m_w->form.CmbBxObjectif->currentText().isEmpty(),
                 r[0].contains(QLatin1String("Diaf")) || r[0].contains(QLatin1String("Focal")));
    }
    // A key in the calculator's lists computes from the triplet as it stands;
    // Enter in an open list chooses and computes, a mouse choice waits for OK.
    void calculatorKeysAndLists() {
        Form1 &f = m_w->form;
        enter(f.TxtDiafMaxi, Qt::Key_A); // dropped, yet the lens is the user's own
        QCOMPARE(f.TxtDiafMaxi->text() + f.CmbBxObjectif->currentText(), "22");
        f.CmbBxSpeed->setCurrentIndex(36);
        f.CmbBxDiaf->setCurrentIndex(18);
        f.CmbBxIso->setCurrentIndex(1);
        enter(f.CmbBxSpeed);
        QCOMPARE(f.TxtValeur->text(), "13");
        f.CmbBxIso->setCurrentIndex(2); // ISO 200: one EV less
        enter(f.CmbBxIso, Qt::Key_Shift); // key down sees keys that type nothing
        QCOMPARE(f.TxtValeur->text(), "12");
        f.CmbBxDiaf->setCurrentIndex(21); // F/11
        enter(f.CmbBxDiaf);
        QCOMPARE(f.TxtValeur->text(), "12,9");
        f.TxtValeur->setText(QStringLiteral("5"));
        f.CmbBxSpeed->setCurrentIndex(36);
        f.CmbBxDiaf->setCurrentIndex(21);
        f.CmbBxIso->showPopup();
        QAbstractItemView *liste = f.CmbBxIso->view();
        liste->setCurrentIndex(liste->model()->index(1, 0));
        QTest::keyClick(liste, Qt::Key_Down); // ISO 200
        QTest::keyClick(liste, Qt::Key_Return);
        QCOMPARE(choix(f).last() + ' ' + f.TxtValeur->text(), "200 12,9");
        f.CmbBxIso->showPopup();
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {},
                          liste->visualRect(liste->model()->index(1, 0)).center());
        QCOMPARE(choix(f).last() + ' ' + f.TxtValeur->text(), "100 12,9");
    }
    // Bad input in any box refuses the whole chart; Enter from anywhere redraws
    // it once, with the shorter focal length first.
    void badInputAndEnter() {
        Form1 &f = m_w->form;
        for (QLineEdit *box : {f.TxtVitesseMini, f.TxtVitesseMaxi, f.TxtDiafMaxi, f.TxtDiafMini,
                               f.TxtDiafMaxiZoom, f.TxtDiafMiniZoom, f.TxtFocalMini,
                               f.TxtFocalMaxi, f.TxtIsoMini, f.TxtIsoMaxi}) {
            const QString avant = box->text();
            f.LstCouple->addItem(QStringLiteral("ancien"));
            box->setText(QStringLiteral("x"));
            QTest::mouseClick(f.BtnGO, Qt::LeftButton);
            QCOMPARE(m_w->dialogs.boxes.size(), 1);
            QVERIFY(m_w->dialogs.boxes.takeFirst().text.startsWith("Erreur de saisie\n"));
            QVERIFY2(blank(f.Graphic->surface().image()), qPrintable(box->objectName()));
            QCOMPARE(f.LstCouple->count() + f.NbCouple + int(f.TabCouple.size()), 0);
            box->setText(avant);
        }
        // Enter exchanges focal lengths typed the wrong way round; the typed apertures survive.
        f.TxtFocalMini->setText(QStringLiteral("55"));
        f.TxtFocalMaxi->setText(QStringLiteral("18"));
        const QStringList ouvertures{"2,8", "4", "16", "32"};
        const std::array diafs{f.TxtDiafMini, f.TxtDiafMiniZoom, f.TxtDiafMaxi, f.TxtDiafMaxiZoom};
        for (int i = 0; i < 4; ++i)
            diafs[i]->setText(ouvertures[i]);
        f.Graphic->surface().clear();
        enter(f.TxtValeur);
        QCOMPARE(texts({f.TxtFocalMini, f.TxtFocalMaxi}), QStringList({"18", "55"}));
        QCOMPARE(texts({f.TxtDiafMini, f.TxtDiafMiniZoom, f.TxtDiafMaxi, f.TxtDiafMaxiZoom}),
                 ouvertures);
        QVERIFY(f.TxtDiafMiniZoom->isVisible());
        QVERIFY(!blank(f.Graphic->surface().image()));
        QCOMPARE(f.NbCouple, 5 * 16);
        // Equal focal lengths: Enter gives the zoom boxes the short end's apertures.
        f.TxtFocalMaxi->setText(QStringLiteral("18"));
        f.TxtDiafMiniZoom->setText(QStringLiteral("9"));
        enter(f.TxtValeur, Qt::Key_Enter);
        QCOMPARE(texts({f.TxtDiafMiniZoom, f.TxtDiafMaxiZoom}), QStringList({"2,8", "16"}));
        // Each Enter reaches the window once, from any control; other keys do not.
        f.TxtIsoMaxi->setText(QStringLiteral("x")); // each recalculation shows one box
        for (QWidget *w :
             std::initializer_list<QWidget *>{f.ChkBxFlash, f.TxtValeur, f.BtnGO, &f}) {
            m_w->dialogs.boxes.clear();
            enter(w);
            if (w == &f) { // the window itself, no control holding the focus
                QApplication::focusWidget()->clearFocus();
                QTest::keyClick(&f, Qt::Key_Return);
            }
            QCOMPARE(m_w->dialogs.boxes.size(), 1 + (w == &f));
        }
        m_w->dialogs.boxes.clear();
        QTest::keyClick(f.TxtValeur, Qt::Key_Tab);
        QVERIFY(m_w->dialogs.boxes.isEmpty());
        f.TxtIsoMaxi->setText(QStringLiteral("1600"));
        // Slow speeds: the shortest time becomes 30 s and the chart its own range; back to 1 s.
        f.TxtFocalMaxi->setText(QStringLiteral("55"));
        f.ChkBxVitesseLente->setChecked(true);
        QCOMPARE(f.TxtVitesseMini->text(), "0,0333");
        QCOMPARE(f.chart().range.LogVitesseMin, std::log(1.0 / 40));
        QCOMPARE(*f.chart().surface.pixel(f.chart().cx(1.0 / 10), qRound(f.chart().cy(1.2))),
                 colours::kGrilleClaire);
        f.ChkBxVitesseLente->setChecked(false);
        QCOMPARE(f.TxtVitesseMini->text(), "1");
        QCOMPARE(f.chart().range.LogVitesseMin, std::log(1 / 1.4));
    }
    void bodies_data() {
        QTest::addColumn<int>("body");
        // flash caption (empty: kept), fastest, flash speed, ISO range,
        // lenses of the catalogue file
        QTest::addColumn<QStringList>("r");
        QTest::newRow("Canon 1Ds Mark III")
            << int(Canon1DsMarkIII)
            << QStringList{"Pas de flash interne", "8000", "8000", "50", "6400", "42"};
        QTest::newRow("Nikon D40")
            << int(NikonD40)
            << QStringList{"Flash interne (1/500)", "4000", "500", "200", "3200", "38"};
        QTest::newRow("other bodies")
            << int(Autres) << QStringList{"", "4000", "200", "100", "1600", "0"};
    }
    void bodies() {
        QFETCH(int, body);
        QFETCH(QStringList, r);
        Form1 &f = m_w->form;
        QTRY_VERIFY(f.lensfunCharge());
        const QString tooltip = f.ChkBxFlash->toolTip();
        f.ChkBxFlash->setChecked(true);
        QCOMPARE(f.TxtVitesseMaxi->text(), "200");
        choose(f.CmbBxAppareil, body);
        const bool sansFlash = r[0].startsWith(QLatin1String("Pas"));
        QCOMPARE(f.ChkBxFlash->isEnabled(), !sansFlash);
        QCOMPARE(f.ChkBxFlash->isChecked(), !sansFlash); // a flash body keeps the flash ticked
        QCOMPARE(f.ChkBxFlash->text(), r[0].isEmpty() ? "Flash interne (1/200)" : r[0]);
        QCOMPARE(f.ChkBxFlash->toolTip(),
                 sansFlash ? tooltip
                           : "L'utilisation du flash limite la vitesse à 1/" + r[2] + "s.");
        QCOMPARE(texts({f.TxtVitesseMaxi, f.TxtIsoMini, f.TxtIsoMaxi}),
                 QStringList({r[sansFlash ? 1 : 2], r[3], r[4]}));
        QCOMPARE(f.VitesseMaxBoitier, r[1].toDouble());
        QCOMPARE(f.VitesseFlash, sansFlash ? 0.0 : r[2].toDouble());
        QCOMPARE(f.range.LogVitesseMax, std::log(r[1].toDouble() * 1.25)); // redrawn for that body
        // The catalogue file's lenses first, then the lens database's for the mount.
        const int n = r[5].toInt();
        QCOMPARE(f.NbObjectifs, f.CmbBxObjectif->count());
        QCOMPARE(f.CmbBxObjectif->count() > n, n > 0);
        if (n > 0) {
            QCOMPARE(f.TabObjectifs[n - 1].FermetureEstimee, false);
            QCOMPARE(f.TabObjectifs[n].FermetureEstimee, true);
        }
        // The shown name survives.
        QCOMPARE(f.CmbBxObjectif->currentText(), "EF-S 18-55mm F3.5-5.6");
        // Back to a flash body after one without: the flash is offered, not ticked.
        choose(f.CmbBxAppareil, NikonD80);
        QVERIFY(f.ChkBxFlash->isEnabled());
        QCOMPARE(f.ChkBxFlash->isChecked(), !sansFlash);
        f.ChkBxFlash->setChecked(false);
        QCOMPARE(f.TxtVitesseMaxi->text(), "4000");
        f.CmbBxAppareil->setCurrentIndex(NikonD3); // filling a list by code is no choice
        QVERIFY(f.ChkBxFlash->isEnabled());
    }
    void lenses() {
        Form1 &f = m_w->form;
        choose(f.CmbBxObjectif, f.CmbBxObjectif->findText(QStringLiteral("EF 85mm F1.8 USM")));
        QCOMPARE(texts({f.TxtFocalMini, f.TxtFocalMaxi, f.TxtDiafMini, f.TxtDiafMiniZoom,
                        f.TxtDiafMaxiZoom}),
                 QStringList({"85", "85", "1,8", "1,8", "22"}));
        QVERIFY(!f.TxtDiafMiniZoom->isVisible());
        QVERIFY(!f.TxtDiafMaxiZoom->isVisible());
        QVERIFY(!f.LblDiafZoomMaxi->isVisible());
        QVERIFY(!f.ChkBxStabilisateur->isChecked());
        // A zoom again.
        choose(f.CmbBxObjectif,
               f.CmbBxObjectif->findText(QStringLiteral("EF-S 17-85mm F4-5.6 IS USM")));
        QVERIFY(f.TxtDiafMiniZoom->isVisible());
        QCOMPARE(texts({f.TxtFocalMini, f.TxtFocalMaxi, f.TxtDiafMini, f.TxtDiafMiniZoom,
                        f.TxtDiafMaxi, f.TxtDiafMaxiZoom}),
                 QStringList({"17", "85", "4", "5,6", "22", "32"}));
        QVERIFY(f.ChkBxStabilisateur->isChecked());
        QVERIFY(!f.bChangementObjectif);
        QCOMPARE(f.LblDiafZoomMini->text() + f.LblDiafZoomMaxi->text(), "à 17mm F/à 85mm F/");
        QCOMPARE(f.NbCouple, 80); // F/4 to F/22: 16 f-numbers, 5 sensitivities
        // Typing a focal length makes the lens the user's own; equal lengths hide the zoom
        // column.
        f.TxtFocalMini->setText(QStringLiteral("50"));
        QCOMPARE(f.CmbBxObjectif->currentText() + f.LblDiafZoomMini->text(), "à 50mm F/");
        f.TxtFocalMaxi->setText(QStringLiteral("50"));
        QVERIFY(!f.TxtDiafMiniZoom->isVisible());
        QCOMPARE(texts({f.TxtDiafMiniZoom, f.TxtDiafMaxiZoom}),
                 texts({f.TxtDiafMini, f.TxtDiafMaxi}));
        f.TxtFocalMaxi->setText(QStringLiteral("50,0")); // not the same text: a zoom again
        QVERIFY(f.TxtDiafMiniZoom->isVisible());
    }
    void hoverBox() {
        Form1 &f = m_w->form;
        const TypeCouple &c = f.TabCouple.back();
        moveOver(f.Graphic, QPointF(c.X + 2, c.Y + 1));
        QVERIFY(f.TxtInfoBulle->isVisible());
        QVERIFY(f.TxtInfoBulle->text().contains(QLatin1String("  -  F/")));
        QCOMPARE(f.TxtInfoBulle->pos(), QPoint(qRound(c.X + 2 + 16), qRound(c.Y + 1 + 16)));
        moveOver(f.Graphic, QPointF(f.chart().cx(5), f.chart().cy(11)));
        QVERIFY(f.TxtInfoBulle->text().startsWith(QLatin1String("LIMITE DE FLOU DE BOUGE")));
        const QPointF nearRight(f.Graphic->width() - 20, 100); // flips to the left of the pointer
        moveOver(f.Graphic, nearRight);
        QCOMPARE(f.TxtInfoBulle->pos(),
                 QPoint(qRound(nearRight.x() - f.TxtInfoBulle->width() - 16), 116));
        // Hidden off the chart, on the box itself, without tooltips.
        const QPointF inside(300, 200);
        moveOver(&f, QPointF(600, 650));
        QVERIFY(!f.TxtInfoBulle->isVisible());
        moveOver(f.Graphic, inside);
        moveOver(f.TxtInfoBulle, QPointF(5, 5)); // onto the box itself
        QVERIFY(!f.TxtInfoBulle->isVisible());
        f.ChkBxToolTip->setChecked(false);
        moveOver(f.Graphic, inside);
        QVERIFY(!f.TxtInfoBulle->isVisible());
        QVERIFY(!f.TxtInfoBulle->text().isEmpty()); // kept up to date while hidden
    }
    void hoverBoxLeaves() { // the pointer goes from the chart to another control
        Form1 &f = m_w->form;
        QTest::mouseMove(f.Graphic, QPoint(300, 200));
        QTRY_VERIFY(f.TxtInfoBulle->isVisible());
        QTest::mouseMove(f.BtnRépartition);
        QTRY_VERIFY(f.TxtInfoBulle->isHidden());
    }
    void sizeLimitsAndWelcome() {
        Form1 &f = m_w->form; // the whole window stays within 980 x 737 .. 2500 x 2500
        f.resize(500, 400);
        QCOMPARE(f.frameGeometry().size(), QSize(980, 737));
        f.resize(4000, 4000);
        QCOMPARE(f.frameGeometry().size(), QSize(2500, 2500));
        // The welcome shows once, the first time the window is active.
        FenetreActive g(f.programFolder());
        QVERIFY(g.dialogs.boxes.isEmpty());
        QVERIFY(m_w->dialogs.boxes.isEmpty());
        f.activateWindow();
        QTRY_VERIFY(f.isActiveWindow());
        g.form.activateWindow();
        QTRY_VERIFY(g.form.isActiveWindow());
        QVERIFY(g.dialogs.boxes.isEmpty());
        QVERIFY(m_w->dialogs.boxes.isEmpty());
    }

    // The slider's keys and wheel go the way they point, from any level, even a typed one.
    void sliderKeys_data() {
        QTest::addColumn<int>("key"); // 0: the wheel turned up one notch
        QTest::addColumn<QString>("level");
        QTest::newRow("Right") << int(Qt::Key_Right) << "9,1";
        QTest::newRow("Up") << int(Qt::Key_Up) << "9,1";
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << "10";
        QTest::newRow("Left") << int(Qt::Key_Left) << "8,9";
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << "8";
        QTest::newRow("wheel up") << 0 << "9,3";
    }
    void sliderKeys() {
        QFETCH(int, key);
        QFETCH(QString, level);
        Form1 &f = m_w->form;
        f.TxtValeur->setFocus();
        f.TxtValeur->selectAll();
        QTest::keyClicks(f.TxtValeur, "9.04");
        QCOMPARE(f.HScroll4->value(), 90); // the thumb follows the typed level
        QCOMPARE(f.TxtValeur->text(), "9,04"); // without the slider writing it back
        f.HScroll4->setFocus();
        if (key != 0) {
            QTest::keyClick(f.HScroll4, Qt::Key(key));
        } else {
            const QPointF at(5, 5);
            QWheelEvent wheel(at, f.HScroll4->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(f.HScroll4, &wheel);
        }
        QCOMPARE(f.TxtValeur->text(), level);
    }

    // Ctrl with a key edits the number boxes; only typed characters are filtered.
    void editingKeys() {
        QLineEdit *box = m_w->form.TxtIsoMaxi;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), "1600");
        QTest::keyClicks(box, "5"); // replaces what Ctrl+A selected
        QCOMPARE(box->text(), "5");
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), "51600");
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), "5");
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(box->text(), "");
    }

    // A paste goes through the rule typing follows: what is not a number is refused.
    void paste_data() {
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
    void paste() {
        QFETCH(QString, box);
        QFETCH(QString, pasted);
        QFETCH(QString, kept);
        auto *edit = m_w->form.findChild<QLineEdit *>(box);
        edit->setFocus();
        edit->selectAll();
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), kept);
    }
    // A value outside a box's range, or no number at all, is named with what the box accepts.
    void inputRanges_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("said");
        const QString ouverture = " : un nombre entre 0,5 et 128";
        QTest::newRow("aperture 0") << "TxtDiafMini" << "0"
                                    << "Ouverture (pleine ouverture)" + ouverture;
        QTest::newRow("closing 200") << "TxtDiafMaxi" << "200"
                                     << "Fermeture (fermeture maxi)" + ouverture;
        QTest::newRow("focal 0") << "TxtFocalMini" << "0"
                                 << "Focales (focale mini) : un nombre entre 1 et 5000 (mm)";
        QTest::newRow("speed 0") << "TxtVitesseMini" << "0"
                                 << "Vitesses (la plus lente) : un nombre plus grand que 0, "
                                    "au plus 1 000 000 (1/s)";
        QTest::newRow("ISO too high") << "TxtIsoMaxi" << "20000000"
                                      << "Iso (sensibilité maxi) : un nombre entre 1 et 10 000 000";
        QTest::newRow("lone comma") << "TxtIsoMini" << ","
                                    << "Iso (sensibilité mini) : un nombre entre 1 et 10 000 000";
        QTest::newRow("calculator aperture") << "CmbBxDiaf" << "0" << "Diaphragme" + ouverture;
        QTest::newRow("calculator ISO") << "CmbBxIso" << "abc"
                                        << "Iso : un nombre entre 1 et 10 000 000";
        QTest::newRow("calculator speed") << "CmbBxSpeed" << "1/3"
                                          << "Vitesse : une vitesse de la liste";
    }
    void inputRanges() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, said);
        Form1 &f = m_w->form;
        QWidget *focus = nullptr;
        if (auto *edit = f.findChild<QLineEdit *>(box)) {
            edit->setText(text);
            QTest::mouseClick(f.BtnGO, Qt::LeftButton);
            QCOMPARE(f.NbCouple, 0);
            focus = edit;
        } else {
            f.CmbBxSpeed->setCurrentIndex(36);
            f.CmbBxDiaf->setCurrentIndex(18);
            f.CmbBxIso->setCurrentIndex(1);
            auto *list = f.findChild<DropDownComboBox *>(box);
            list->setCurrentIndex(-1);
            list->setEditText(text);
            QTest::mouseClick(f.BtnCalculLumiere, Qt::LeftButton);
            QCOMPARE(f.TxtValeur->text(), "11"); // nothing computed
            focus = list;
        }
        QCOMPARE(m_w->dialogs.boxes.size(), 1);
        QCOMPARE(m_w->dialogs.boxes.first().text, "Erreur de saisie\n" + said);
        QCOMPARE(QApplication::focusWidget(), focus);
    }

private:
    std::unique_ptr<FenetreActive> m_w;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
