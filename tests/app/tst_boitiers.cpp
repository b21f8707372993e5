// Today's bodies in the main window: found by typing, their lenses, a camera
// with its own lens, the student's equipment, the remembered choices, and the
// program's own bodies as they always were.
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
void choose(DropDownComboBox *list, int index) // as a click does
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}
void choose(DropDownComboBox *list, const QString &text) { choose(list, list->findText(text)); }
QStringList texts(std::initializer_list<QLineEdit *> boxes)
{
    QStringList t;
    for (QLineEdit *b : boxes)
        t << b->text();
    return t;
}
// The colour of the chart at a speed value and an f-number.
QRgb at(const Form1 &f, double vitesse, double diaf)
{
    const ChartView c = f.chart();
    return c.surface.image().pixel(qRound(c.cx(vitesse)), qRound(c.cy(diaf)));
}
bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestBoitiers : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_user; // the user's data and choices, new for each test

private slots:
    void init()
    {
        m_user = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", m_user->filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_user->filePath("config").toUtf8());
    }

    // Typing a part of a name narrows the list; Enter on a body chooses it.
    void findByTyping_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("limits"); // fastest, ISO range, flash caption
        QTest::newRow("a7iv") << "a7iv" << "Sony A7 IV"
                              << QStringList{"8000", "100", "51200", "Pas de flash interne"};
        QTest::newRow("xt5") << "xt5" << "Fujifilm X-T5"
                             << QStringList{"180000", "125", "12800", "Pas de flash interne"};
        QTest::newRow("r6") << "r6" << "Canon EOS R6"
                            << QStringList{"8000", "100", "102400", "Pas de flash interne"};
        QTest::newRow("z 6") << "z 6" << "Nikon Z6"
                             << QStringList{"8000", "100", "51200", "Pas de flash interne"};
        const QStringList flash{"8000", "100", "51200", "Flash interne (1/250)"};
        QTest::newRow("D7500, a flash") << "D7500" << "Nikon D7500" << flash;
    }
    void findByTyping()
    {
        QFETCH(QString, typed);
        QFETCH(QString, body);
        QFETCH(QStringList, limits);
        FenetreActive w(QStringLiteral(KAVEL_DATA_DIR));
        Form1 &f = w.form;
        QTRY_VERIFY(f.lensfunCharge());
        QLineEdit *edit = f.CmbBxAppareil->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QCompleter *completer = edit->completer();
        QAbstractItemView *popup = completer->popup();
        QTRY_VERIFY(popup->isVisible());
        int ligne = -1;
        for (int i = 0; i < completer->completionCount(); ++i) {
            const QString t = popup->model()->index(i, 0).data().toString();
            QVERIFY2(cleRecherche(t).contains(cleRecherche(typed)), qPrintable(t));
            if (t == body)
                ligne = i;
        }
        QVERIFY(ligne >= 0);
        QVERIFY(completer->completionCount() < 12); // narrowed to a few bodies
        if (completer->completionCount() > 1) // else Enter takes the one found
            popup->setCurrentIndex(popup->model()->index(ligne, 0));
        QTest::keyClick(popup, Qt::Key_Return);
        QCOMPARE(f.CmbBxAppareil->currentText(), body);
        QCOMPARE(f.TxtVitesseMaxi->text(), limits[0]);
        QCOMPARE(f.TxtIsoMini->text(), limits[1]);
        QCOMPARE(f.TxtIsoMaxi->text(), limits[2]);
        QCOMPARE(f.ChkBxFlash->text(), limits[3]);
        QVERIFY(f.NbObjectifs > 10); // the lenses of its mount
        QCOMPARE(f.TabObjectifs.back().FermetureEstimee, true);
    }

    // A maker's heading is shown, never chosen: the keyboard steps over it.
    void headings()
    {
        FenetreActive w(QStringLiteral(KAVEL_DATA_DIR));
        Form1 &f = w.form;
        const int titre = f.CmbBxAppareil->findText(QStringLiteral("— Fujifilm —"));
        QVERIFY(titre > 12);
        // Right after the program's own bodies.
        QCOMPARE(f.CmbBxAppareil->findText(QStringLiteral("— Canon —")), 12);
        const auto *modele = static_cast<QStandardItemModel *>(f.CmbBxAppareil->model());
        QCOMPARE(modele->item(titre)->flags(), Qt::NoItemFlags);
        choose(f.CmbBxAppareil, titre - 1);
        f.CmbBxAppareil->setFocus();
        QTest::keyClick(f.CmbBxAppareil, Qt::Key_Down);
        QCOMPARE(f.CmbBxAppareil->currentIndex(), titre + 1);
        QCOMPARE(f.ListeBoitiers[titre + 1].boitier.Marque, "Fujifilm");
    }

    // A lens of the lens database: its values, its stabiliser, an estimated narrowest aperture.
    void mirrorlessLens()
    {
        FenetreActive w(QStringLiteral(KAVEL_DATA_DIR));
        Form1 &f = w.form;
        QTRY_VERIFY(f.lensfunCharge());
        choose(f.CmbBxAppareil, QStringLiteral("Sony A7 IV"));
        choose(f.CmbBxObjectif, QStringLiteral("Sony E 18-55mm f/3.5-5.6 OSS"));
        const QStringList valeurs{"18", "55", "3,5", "5,6", "22"};
        QCOMPARE(texts({f.TxtFocalMini, f.TxtFocalMaxi, f.TxtDiafMini, f.TxtDiafMiniZoom,
                        f.TxtDiafMaxi}),
                 valeurs);
        QVERIFY(f.ChkBxStabilisateur->isChecked());
        QVERIFY(f.TxtDiafMaxi->toolTip().contains(QStringLiteral("estimée")));
        choose(f.CmbBxAppareil, QStringLiteral("Canon 300D, 350D, 400D"));
        choose(f.CmbBxObjectif, 0); // a lens of the program's catalogue is no estimate
        QVERIFY(!f.TxtDiafMaxi->toolTip().contains(QStringLiteral("estimée")));
    }

    // A camera with its own lens fills the lens boxes; its blur limit goes by
    // the 24x36 equivalent (22,9 mm x 1,53 = 35 mm).
    void compactCamera()
    {
        FenetreActive w(QStringLiteral(KAVEL_DATA_DIR));
        Form1 &f = w.form;
        choose(f.CmbBxAppareil, QStringLiteral("Fujifilm X100V"));
        QCOMPARE(f.CmbBxObjectif->currentText(), "Fujifilm X100V");
        QCOMPARE(f.NbObjectifs, 0);
        const QStringList valeurs{"22,9", "22,9", "2"};
        QCOMPARE(texts({f.TxtFocalMini, f.TxtFocalMaxi, f.TxtDiafMini}), valeurs);
        QCOMPARE(f.TxtVitesseMaxi->text(), "32000");
        QCOMPARE(at(f, 25, 4.5), kZoneBouge); // slower than 1/35 s
        QCOMPARE(at(f, 45, 4.5), kZoneMain);
        QVERIFY(f.TxtDiafMaxi->toolTip().contains(QStringLiteral("estimée")));
    }

    // Today's bodies get their sensitivities and speeds, and their stabiliser's gain.
    void chartForTodaysBodies()
    {
        FenetreActive w(QStringLiteral(KAVEL_DATA_DIR));
        Form1 &f = w.form;
        choose(f.CmbBxAppareil, QStringLiteral("Canon EOS R6"));
        QCOMPARE(f.echellesGraphique.nbIsos, 12); // up to 102400
        const auto parIso = [&f](int iso) {
            return std::count_if(f.TabCouple.begin(), f.TabCouple.end(),
                                 [iso](const TypeCouple &c) { return c.IndIso == iso; });
        };
        QCOMPARE(parIso(11), 4); // ISO 102400, from F/16 to F/22 within 1/8000 s
        choose(f.CmbBxAppareil, QStringLiteral("Fujifilm X-T5"));
        QCOMPARE(f.echellesGraphique.nbVitesses, 68); // up to 1/160000 s
        f.TxtValeur->setText(QStringLiteral("17"));
        const auto rapides = std::count_if(
            f.TabCouple.begin(), f.TabCouple.end(),
            [](const TypeCouple &c) { return c.IndVitesse >= kNbVitesses; });
        QVERIFY(rapides > 0);
        QCOMPARE(f.range.LogVitesseMax, std::log(180000 * 1.25));

        f.ChkBxStabilisateur->setChecked(true);
        QVERIFY(f.CmbBxPerfStab->isEnabled());
        choose(f.CmbBxPerfStab, 0); // no gain
        QCOMPARE(at(f, 1.2, 7), kZoneBouge);
        choose(f.CmbBxPerfStab, QStringLiteral("8 vitesses"));
        QCOMPARE(at(f, 1.2, 7), kZoneMain);
    }

    // The program's own bodies draw what they always drew, catalogue or not.
    void programBodiesUnchanged()
    {
        QTemporaryDir ancien; // a program folder as before: the lens catalogues only
        const QDir data(QStringLiteral(KAVEL_DATA_DIR));
        for (const QString &c : data.entryList({QStringLiteral("*.txt")}))
            QVERIFY(QFile::copy(QStringLiteral(KAVEL_DATA_DIR "/") + c, ancien.filePath(c)));
        FenetreActive avant(ancien.path());
        FenetreActive apres(QStringLiteral(KAVEL_DATA_DIR));
        QCOMPARE(apres.form.Graphic->surface().image(), avant.form.Graphic->surface().image());
        choose(apres.form.CmbBxAppareil, QStringLiteral("Sony A7 IV"));
        for (int i = 0; i <= 11; ++i) {
            for (Form1 *f : {&avant.form, &apres.form})
                choose(f->CmbBxAppareil, i);
            QCOMPARE(apres.form.Graphic->surface().image(), avant.form.Graphic->surface().image());
            QCOMPARE(apres.form.ChkBxFlash->text(), avant.form.ChkBxFlash->text());
            QCOMPARE(apres.form.TxtIsoMaxi->text(), avant.form.TxtIsoMaxi->text());
        }
        QVERIFY(!apres.form.CmbBxPerfStab->isEnabled());
    }

    // The student's files, read at start: their bodies after the program's
    // own, their lenses first; a damaged line is named, the rest is read.
    void ownEquipment()
    {
        const QString dossier = platform::dossierUtilisateur();
        QVERIFY(QDir().mkpath(dossier));
        QVERIFY(writeFile(dossier + "/MesBoitiers.csv",
                          "Marque,Modele,VitesseMax,IsoMini,IsoMaxi,Monture\n"
                          "Zorki,Club 1,4000,100,6400,Sony E\n"
                          "Zorki,abîmé,vite,100,6400,\n"
                          "Sony,ILCE-7M4,8000,100,51200,\n")); // named as its photos name it
        QVERIFY(writeFile(dossier + "/MesObjectifs.txt",
                          "Nom,FocalMini,FocalMaxi,DiafMini,DiafMiniZoom,DiafMaxi,"
                          "DiafMaxiZoom,Stabilisateur\r\n"
                          "\"Mon 35mm\",35,35,1.4,1.4,16,16,0\r\n"));
        DialogRecorder dialogs;
        Form1 f(QStringLiteral(KAVEL_DATA_DIR));
        QTRY_COMPARE(dialogs.boxes.size(), 1);
        QVERIFY(dialogs.boxes[0].text.contains(QStringLiteral("MesBoitiers.csv")));
        QVERIFY(dialogs.boxes[0].text.contains(QStringLiteral("3")));
        QCOMPARE(f.CmbBxAppareil->itemText(12), "Zorki Club 1");
        QCOMPARE(f.CmbBxObjectif->itemText(0), "Mon 35mm");
        // Then the catalogue file's first.
        QCOMPARE(f.CmbBxObjectif->itemText(1), "EF-S 18-55mm F3.5-5.6");
        choose(f.CmbBxAppareil, 12);
        QCOMPARE(f.TxtIsoMaxi->text(), "6400");
        QCOMPARE(f.ChkBxFlash->text(), "Flash interne : synchro inconnue");
        QVERIFY(!f.ChkBxFlash->isEnabled());
        // Without a mount, the lens database knows the body by its Exif names.
        QTRY_VERIFY(f.lensfunCharge());
        choose(f.CmbBxAppareil, QStringLiteral("Sony ILCE-7M4"));
        QVERIFY(f.CmbBxObjectif->findText(QStringLiteral("Sony E 18-55mm f/3.5-5.6 OSS")) > 0);
    }

    // "Mes appareils…" keeps the body on show; the list has it at once and
    // at the next start, its file is written whole.
    void ownBodyAdded()
    {
        auto w = std::make_unique<FenetreActive>(QStringLiteral(KAVEL_DATA_DIR));
        choose(w->form.CmbBxAppareil, QStringLiteral("Nikon Z6"));
        QTimer::singleShot(0, [] {
            auto *d = qobject_cast<DialogueMateriel *>(QApplication::activeModalWidget());
            QVERIFY(d);
            QTest::mouseClick(d->BtnAjouterBoitierAffiche, Qt::LeftButton);
            for (QAbstractButton *b : d->Boutons->buttons())
                if (d->Boutons->buttonRole(b) == QDialogButtonBox::AcceptRole)
                    QTest::mouseClick(b, Qt::LeftButton);
        });
        QTest::mouseClick(w->form.BtnMesAppareils, Qt::LeftButton);
        QCOMPARE(w->form.CmbBxAppareil->itemText(12), "Nikon Z6");
        QCOMPARE(w->form.CmbBxAppareil->currentText(), "Nikon Z6"); // still on show
        w.reset();
        FenetreActive again(QStringLiteral(KAVEL_DATA_DIR));
        QCOMPARE(again.form.CmbBxAppareil->itemText(12), "Nikon Z6");
        const QString fichier = platform::dossierUtilisateur() + "/MesBoitiers.csv";
        const LectureBoitiers lu = LireBoitiers(fichier);
        QCOMPARE(lu.boitiers.size(), 1u);
        QCOMPARE(lu.boitiers[0].Monture, "Nikon Z");
    }

    // The body, lens and level chosen last come back; a first start is the
    // start-up as it always was.
    void rememberedChoices()
    {
        {
            DialogRecorder boxes;
            Form1 f(QStringLiteral(KAVEL_DATA_DIR), nullptr, Form1::Memoire::Utilisateur);
            QCOMPARE(f.CmbBxAppareil->currentIndex(), 0);
            QCOMPARE(f.CmbBxObjectif->currentText(), "EF-S 18-55mm F3.5-5.6");
            QCOMPARE(f.TxtValeur->text(), "11");
            QTRY_VERIFY(f.lensfunCharge());
            choose(f.CmbBxAppareil, QStringLiteral("Nikon Z6"));
            choose(f.CmbBxObjectif, QStringLiteral("Nikon NIKKOR Z 24-70mm f/4 S"));
            f.TxtValeur->setText(QStringLiteral("9,5"));
            f.close();
        }
        DialogRecorder boxes;
        Form1 f(QStringLiteral(KAVEL_DATA_DIR), nullptr, Form1::Memoire::Utilisateur);
        QCOMPARE(f.CmbBxAppareil->currentText(), "Nikon Z6");
        QCOMPARE(f.TxtIsoMaxi->text(), "51200");
        QCOMPARE(f.TxtValeur->text(), "9,5");
        QTRY_COMPARE(f.CmbBxObjectif->currentText(), "Nikon NIKKOR Z 24-70mm f/4 S");
        QCOMPARE(f.TxtFocalMaxi->text(), "70");
    }
};

QTEST_MAIN(TestBoitiers)
#include "tst_boitiers.moc"
