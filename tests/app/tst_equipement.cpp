// Bodies, lenses and the three check boxes as the main window runs them.
#include "app/Form1.h"
#include "equipment/Objectifs.h"
#include "platform/DropDownComboBox.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

namespace {

// The body list's items, by what they are.
enum Boitier { Canon300D = 0, Canon1DsMarkIII = 2, NikonD40 = 3, NikonD80 = 7, NikonD3 = 9, Autres = 11 };

void choose(DropDownComboBox *list, int index)
{
    // What a click in the open list does: select, then report the user's choice.
    list->setCurrentIndex(index);
    emit list->activated(index);
}

} // namespace

class TestEquipement : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startUpWithShippedCatalogues();
    void bodyWithoutFlashUnticksIt_data();
    void bodyWithoutFlashUnticksIt();
    void flashBodyAfterOneWithout();
    void flashStaysTickedAcrossFlashBodies();
    void otherBodiesKeepTheLimits();
    void nikonBodyLoadsNikonLenses();
    void flashAndSlowSpeedBoxes();
    void choosingAZoom();
    void choosingAPrime();
    void typingAFocalLength();
    void missingCatalogueLeavesTheBoxes();
    void fillingTheListIsNoChoice();
    void dropDownHeights();

private:
    void writeCatalogue(const QString &maker, const QByteArray &records);

    std::unique_ptr<DialogRecorder> m_dialogs;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Form1> m_form;
};

void TestEquipement::writeCatalogue(const QString &maker, const QByteArray &records)
{
    QFile f(m_folder->filePath(QStringLiteral("Objectifs") + maker + QStringLiteral(".txt")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Nom,FocalMini,FocalMaxi,DiafMini,DiafMiniZoom,DiafMaxi,DiafMaxiZoom,Stabilisateur\r\n" + records);
}

void TestEquipement::init()
{
    m_dialogs = std::make_unique<DialogRecorder>();
    m_folder = std::make_unique<QTemporaryDir>();
    writeCatalogue(QStringLiteral("Canon"), "\"EF-S 18-55mm F3.5-5.6\",18,55,3.5,5.6,22,38,0\r\n"
                                            "\"EF 50mm F1.4 USM\",50,50,1.4,1.4,22,22,0\r\n"
                                            "\"EF-S 17-85mm F4-5.6 IS USM\",17,85,4,5.6,22,32,1\r\n"
                                            "\"EF 85mm F1.8 USM\",85,85,1.8,1.8,22,22,0\r\n");
    writeCatalogue(QStringLiteral("Nikon"), "\"AF-S DX 18-55mm F3.5-5.6G\",18,55,3.5,5.6,22,36,0\r\n"
                                            "\"AF 50mm F1.8D\",50,50,1.8,1.8,22,22,0\r\n");
    m_form = std::make_unique<Form1>(m_folder->path());
}

void TestEquipement::cleanup()
{
    m_form.reset();
    m_folder.reset();
    m_dialogs.reset();
}

void TestEquipement::startUpWithShippedCatalogues()
{
    Form1 f(QStringLiteral(KAVEL_DATA_DIR));
    QCOMPARE(f.CmbBxAppareil->count(), 12);
    QCOMPARE(f.CmbBxAppareil->currentText(), "Canon 300D, 350D, 400D");
    QCOMPARE(f.CmbBxObjectif->currentText(), "EF-S 18-55mm F3.5-5.6");
    QCOMPARE(f.CmbBxObjectif->currentIndex(), -1);
    QVERIFY(f.CmbBxObjectif->count() >= 25);
    QCOMPARE(f.NbObjectifs, f.CmbBxObjectif->count());
    QCOMPARE(f.CmbBxObjectif->itemText(0), f.TabObjectifs[0].Nom);
    QVERIFY(f.CmbBxObjectif->findText("EF-S 18-55mm F3.5-5.6") >= 0);
    QCOMPARE(f.LblDiafZoomMini->text(), "à 18mm F/");
    QCOMPARE(f.LblDiafZoomMaxi->text(), "à 55mm F/");
    QVERIFY(f.TxtDiafMiniZoom->isVisibleTo(&f));
    QVERIFY(f.LblDiafZoomMaxi->isVisibleTo(&f));
    QCOMPARE(f.TxtFocalMini->text(), "18");
    QCOMPARE(f.TxtDiafMaxiZoom->text(), "38");
    QCOMPARE(f.NbCouple, 85);
}

void TestEquipement::bodyWithoutFlashUnticksIt_data()
{
    QTest::addColumn<int>("body");
    QTest::addColumn<QString>("isoMini");
    QTest::addColumn<QString>("isoMaxi");
    QTest::newRow("Canon 1Ds Mark III") << int(Canon1DsMarkIII) << "50" << "6400";
    QTest::newRow("Nikon D3") << int(NikonD3) << "100" << "25600";
}

void TestEquipement::bodyWithoutFlashUnticksIt()
{
    QFETCH(int, body);
    QFETCH(QString, isoMini);
    QFETCH(QString, isoMaxi);
    Form1 &f = *m_form;
    f.ChkBxFlash->setChecked(true);
    QCOMPARE(f.TxtVitesseMaxi->text(), "200");
    const QString tooltip = f.ChkBxFlash->toolTip();
    choose(f.CmbBxAppareil, body);
    QVERIFY(!f.ChkBxFlash->isChecked());
    QVERIFY(!f.ChkBxFlash->isEnabled());
    QCOMPARE(f.ChkBxFlash->text(), "Pas de flash interne");
    QCOMPARE(f.ChkBxFlash->toolTip(), tooltip);
    QCOMPARE(f.TxtVitesseMaxi->text(), "8000");
    QCOMPARE(f.TxtIsoMini->text(), isoMini);
    QCOMPARE(f.TxtIsoMaxi->text(), isoMaxi);
    QCOMPARE(f.VitesseMaxBoitier, 8000.0);
    QCOMPARE(f.VitesseFlash, 0.0);
    QCOMPARE(f.range.LogVitesseMax, std::log(10000.0)); // redrawn for the faster body
}

void TestEquipement::flashBodyAfterOneWithout()
{
    Form1 &f = *m_form;
    choose(f.CmbBxAppareil, NikonD3);
    choose(f.CmbBxAppareil, NikonD40);
    QVERIFY(f.ChkBxFlash->isEnabled());
    QVERIFY(!f.ChkBxFlash->isChecked());
    QCOMPARE(f.ChkBxFlash->text(), "Flash interne (1/500)");
    QCOMPARE(f.ChkBxFlash->toolTip(), "L'utilisation du flash limite la vitesse à 1/500s.");
    QCOMPARE(f.TxtVitesseMaxi->text(), "4000");
    QCOMPARE(f.VitesseFlash, 500.0);
}

void TestEquipement::flashStaysTickedAcrossFlashBodies()
{
    Form1 &f = *m_form;
    choose(f.CmbBxAppareil, NikonD80);
    f.ChkBxFlash->setChecked(true);
    QCOMPARE(f.TxtVitesseMaxi->text(), "200");
    choose(f.CmbBxAppareil, NikonD40);
    QVERIFY(f.ChkBxFlash->isChecked());
    QCOMPARE(f.TxtVitesseMaxi->text(), "500");
}

void TestEquipement::otherBodiesKeepTheLimits()
{
    Form1 &f = *m_form;
    choose(f.CmbBxAppareil, NikonD80);
    const QString lens = f.CmbBxObjectif->currentText();
    const int couples = f.NbCouple;
    f.NbCouple = -1;
    choose(f.CmbBxAppareil, Autres);
    QCOMPARE(f.TxtIsoMaxi->text(), "3200");
    QCOMPARE(f.TxtVitesseMaxi->text(), "4000");
    QCOMPARE(f.VitesseFlash, 200.0);
    QCOMPARE(f.CmbBxObjectif->count(), 0); // no catalogue for that maker word
    QCOMPARE(f.NbObjectifs, 0);
    QCOMPARE(f.CmbBxObjectif->currentText(), lens);
    QCOMPARE(f.NbCouple, couples); // redrawn, with the same limits
}

void TestEquipement::nikonBodyLoadsNikonLenses()
{
    Form1 &f = *m_form;
    QCOMPARE(f.CmbBxObjectif->count(), 4);
    choose(f.CmbBxAppareil, NikonD40);
    QCOMPARE(f.CmbBxObjectif->count(), 2);
    QCOMPARE(f.CmbBxObjectif->itemText(1), "AF 50mm F1.8D");
    QCOMPARE(f.CmbBxObjectif->currentText(), "EF-S 18-55mm F3.5-5.6"); // the shown name survives
    choose(f.CmbBxAppareil, Canon300D);
    QCOMPARE(f.CmbBxObjectif->count(), 4);
}

void TestEquipement::flashAndSlowSpeedBoxes()
{
    Form1 &f = *m_form;
    f.TxtVitesseMini->setText(QStringLiteral("2"));
    f.ChkBxVitesseLente->setChecked(true);
    QCOMPARE(f.TxtVitesseMini->text(), "0,0333");
    f.ChkBxVitesseLente->setChecked(false);
    QCOMPARE(f.TxtVitesseMini->text(), "1");
    f.ChkBxFlash->setChecked(true);
    QCOMPARE(f.TxtVitesseMaxi->text(), "200");
    f.ChkBxFlash->setChecked(false);
    QCOMPARE(f.TxtVitesseMaxi->text(), "4000");
}

void TestEquipement::choosingAZoom()
{
    Form1 &f = *m_form;
    choose(f.CmbBxObjectif, 2);
    QCOMPARE(f.CmbBxObjectif->currentText(), "EF-S 17-85mm F4-5.6 IS USM");
    QCOMPARE(f.TxtFocalMini->text(), "17");
    QCOMPARE(f.TxtFocalMaxi->text(), "85");
    QCOMPARE(f.TxtDiafMini->text(), "4");
    QCOMPARE(f.TxtDiafMiniZoom->text(), "5,6");
    QCOMPARE(f.TxtDiafMaxi->text(), "22");
    QCOMPARE(f.TxtDiafMaxiZoom->text(), "32");
    QVERIFY(f.ChkBxStabilisateur->isChecked());
    QCOMPARE(f.LblDiafZoomMini->text(), "à 17mm F/");
    QCOMPARE(f.LblDiafZoomMaxi->text(), "à 85mm F/");
    QVERIFY(f.TxtDiafMiniZoom->isVisibleTo(&f));
    QVERIFY(!f.bChangementObjectif);
    QCOMPARE(f.NbCouple, 80); // F/4 to F/22: 16 f-numbers, 5 sensitivities
}

void TestEquipement::choosingAPrime()
{
    Form1 &f = *m_form;
    choose(f.CmbBxObjectif, 3);
    QCOMPARE(f.CmbBxObjectif->currentText(), "EF 85mm F1.8 USM");
    QCOMPARE(f.TxtFocalMini->text(), "85");
    QCOMPARE(f.TxtFocalMaxi->text(), "85");
    QVERIFY(!f.TxtDiafMiniZoom->isVisibleTo(&f));
    QVERIFY(!f.TxtDiafMaxiZoom->isVisibleTo(&f));
    QVERIFY(!f.LblDiafZoomMaxi->isVisibleTo(&f));
    QCOMPARE(f.TxtDiafMini->text(), "1,8");
    QCOMPARE(f.TxtDiafMiniZoom->text(), "1,8"); // the record's own
    QCOMPARE(f.TxtDiafMaxiZoom->text(), "22");
    QVERIFY(!f.ChkBxStabilisateur->isChecked());
    // Back to a zoom: the column shows again.
    choose(f.CmbBxObjectif, 0);
    QVERIFY(f.TxtDiafMiniZoom->isVisibleTo(&f));
    QCOMPARE(f.TxtDiafMaxiZoom->text(), "38");
}

void TestEquipement::typingAFocalLength()
{
    Form1 &f = *m_form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.TxtFocalMini->setText(QStringLiteral("50"));
    QCOMPARE(f.CmbBxObjectif->currentText(), QString()); // a lens of the user's own
    QCOMPARE(f.LblDiafZoomMini->text(), "à 50mm F/");
    QVERIFY(f.TxtDiafMiniZoom->isVisible());

    f.TxtFocalMaxi->setText(QStringLiteral("50"));
    QCOMPARE(f.LblDiafZoomMaxi->text(), "à 50mm F/");
    QVERIFY(!f.TxtDiafMiniZoom->isVisible());
    QCOMPARE(f.TxtDiafMiniZoom->text(), f.TxtDiafMini->text());
    QCOMPARE(f.TxtDiafMaxiZoom->text(), f.TxtDiafMaxi->text());

    f.TxtFocalMaxi->setText(QStringLiteral("50,0")); // not the same text: a zoom again
    QVERIFY(f.TxtDiafMiniZoom->isVisible());
}

void TestEquipement::missingCatalogueLeavesTheBoxes()
{
    QTemporaryDir empty;
    Form1 f(empty.path());
    QCOMPARE(f.CmbBxObjectif->count(), 0);
    QCOMPARE(f.CmbBxObjectif->currentText(), "EF-S 18-55mm F3.5-5.6");
    QCOMPARE(f.TxtFocalMaxi->text(), "55");
    QCOMPARE(f.NbCouple, 85);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

// Filling or clearing a list is not a choice: no limits change, no lens is taken.
void TestEquipement::fillingTheListIsNoChoice()
{
    Form1 &f = *m_form;
    f.TxtFocalMini->setText(QStringLiteral("24"));
    f.LoadObjectifs();
    QCOMPARE(f.TxtFocalMini->text(), "24");
    f.CmbBxAppareil->setCurrentIndex(NikonD3); // by code, not by the user
    QVERIFY(f.ChkBxFlash->isEnabled());
    QCOMPARE(f.VitesseMaxBoitier, 4000.0);
}

void TestEquipement::dropDownHeights()
{
    Form1 f(QStringLiteral(KAVEL_DATA_DIR));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    for (DropDownComboBox *list : {f.CmbBxObjectif, f.CmbBxAppareil}) {
        QCOMPARE(list->dropDownHeight(), 480);
        list->showPopup();
        QWidget *popup = list->view()->window();
        QTRY_VERIFY(popup->isVisible());
        if (list == f.CmbBxObjectif)
            QCOMPARE(popup->height() + list->height(), 480); // more lenses than fit
        else
            QVERIFY(popup->height() + list->height() <= 480);
        list->hidePopup();
    }
}

QTEST_MAIN(TestEquipement)
#include "tst_equipement.moc"
