// The windows' look and layout, the About panel and its links.
#include "app/Apparence.h"
#include "app/Form1.h"
#include "platform/DropDownComboBox.h"
#include "app/Images.h"
#include "photos/scan/FormRecherchePhoto.h"
#include "platform/PictureBox.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QToolTip>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

using namespace kavel;

namespace {

// Every control's place in both windows, a few palettes, every picture's mean colour
// (in tenths, B G R A): what the user sees, line by line, against
// tests/app/apparence.txt. KAVEL_REECRIRE=1 rewrites it.
QStringList apparence(Form1 &f)
{
    QStringList lignes;
    auto places = [&](QWidget &fenetre) {
        QList<QWidget *> controles =
            fenetre.findChildren<QWidget *>(QRegularExpression(QStringLiteral("^(?!qt_).")));
        std::sort(controles.begin(), controles.end(),
                  [](auto *a, auto *b) { return a->objectName() < b->objectName(); });
        for (QWidget *w : controles)
            lignes << QStringLiteral("%1x%2 %3 %4,%5 %6x%7")
                          .arg(fenetre.width())
                          .arg(fenetre.height())
                          .arg(w->objectName())
                          .arg(w->x())
                          .arg(w->y())
                          .arg(w->width())
                          .arg(w->height());
    };
    places(f); // the smallest window
    f.resize(1400, 1000);
    places(f);
    FormRecherchePhoto recherche(f.programFolder()); // the scan window
    places(recherche);
    for (QWidget *w : std::initializer_list<QWidget *>{&f, f.APropos, f.Label14}) {
        lignes << QStringLiteral("palette ") + w->objectName();
        for (int r = 0; r < QPalette::NColorRoles; ++r)
            lignes.last() += QLatin1Char(' ') + w->palette().color(QPalette::ColorRole(r)).name();
    }
    const std::pair<const char *, QImage> images[] = {
        {"fond", images::fondAPropos(QSize(401, 305))}, {"diaphragme", images::diaphragme(96)},
        {"appareil", images::appareil(QSize(96, 72))},  {"insecte", images::insecte(16)},
        {"ampoule", images::ampoule(16)},                {"icone", images::icone(64)}};
    for (const auto &[nom, image] : images) {
        qint64 somme[4] = {};
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                for (int k = 0; k < 4; ++k)
                    somme[k] += (image.pixel(x, y) >> (8 * k)) & 0xFF;
        lignes << QStringLiteral("image %1 %2x%3")
                      .arg(QLatin1String(nom))
                      .arg(image.width())
                      .arg(image.height());
        for (qint64 c : somme)
            lignes.last() +=
                QStringLiteral(" %1").arg(qRound(c * 10.0 / (image.width() * image.height())));
    }
    return lignes;
}

} // namespace

class TestAPropos : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_opened.clear();
        m_previous = platform::setOpenUrlHandler([this](const QUrl &url) {
            m_opened << url;
            return true;
        });
        m_w = std::make_unique<FenetreActive>(m_dir.path());
    }
    void cleanup() { m_w.reset(), platform::setOpenUrlHandler(std::move(m_previous)); }
    void lookAndLayout() {
        Form1 &f = m_w->form;
        const QStringList vu = apparence(f);
        QFile reference(QStringLiteral(KAVEL_SOURCE_DIR "/tests/app/apparence.txt"));
        if (qEnvironmentVariableIsSet("KAVEL_REECRIRE")) {
            QVERIFY(reference.open(QIODevice::WriteOnly));
            reference.write(vu.join(QLatin1Char('\n')).toUtf8() + '\n');
            QSKIP("reference rewritten");
        }
        QVERIFY(reference.open(QIODevice::ReadOnly));
        const QStringList attendu =
            QString::fromUtf8(reference.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(vu.size(), attendu.size());
        // A blend may round a picture's last bit either way.
        for (qsizetype i = 0; i < vu.size(); ++i) {
            const QStringList v = vu[i].split(QLatin1Char(' '));
            const QStringList a = attendu[i].split(QLatin1Char(' '));
            bool proche = v[0] == QLatin1String("image") && v.size() == a.size();
            for (qsizetype k = 3; proche && k < v.size(); ++k)
                proche = std::abs(v[k].toInt() - a[k].toInt()) <= 1;
            if (!proche)
                QCOMPARE(vu[i], attendu[i]);
        }
        // The chart was redrawn for the new size: its right edge at 1/5000 s; the strip waits
        // for its timer.
        QCOMPARE(f.Graphic->surface().width(), 1176);
        QCOMPARE(f.chart().cx(5000), float(1175));
        QCOMPARE(f.NbCouple, 85);
        QVERIFY(f.TimerMiniature->isActive());
        // Minimised, nothing moves and nothing is drawn.
        const QRect before = f.Graphic->geometry();
        f.NbCouple = -1;
        f.showMinimized();
        QTRY_VERIFY(f.isMinimized());
        f.Form_Resize();
        QCOMPARE(f.Graphic->geometry(), before);
        QCOMPARE(f.NbCouple, -1);
        f.showNormal();
        QTRY_COMPARE(f.NbCouple, 85);
    }
    void aboutPanelAndLinks() {
        Form1 &f = m_w->form;
        const auto clic = [](QWidget *w, Qt::MouseButton b = Qt::LeftButton) {
            QTest::mouseClick(w, b, {}, QPoint(2, 2));
        };
        clic(f.BtnAPropos);
        QVERIFY(f.APropos->isVisible());
        clic(f.BtnAPropos);
        QVERIFY(f.APropos->isHidden());
        // A click on the panel, its title, its version or its picture closes it.
        for (QWidget *w :
             std::initializer_list<QWidget *>{f.APropos, f.Label14, f.LblVersion, f.Picture1}) {
            f.APropos->show();
            clic(w);
            QVERIFY2(f.APropos->isHidden(), qPrintable(w->objectName()));
        }
        // So does Escape, wherever the focus is in the window.
        const QList<QWidget *> ailleurs{f.TxtValeur, f.HScroll4, f.CmbBxAppareil, f.BtnAPropos};
        for (QWidget *w : ailleurs) {
            f.APropos->show();
            w->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY2(f.APropos->isHidden(), qPrintable(w->objectName()));
        }
        // Its licence fits its one line.
        const auto *licence = f.APropos->findChild<QLabel *>("LblLicence");
        QVERIFY(licence->sizeHint().width() <= licence->width());
        // Its links open on the press, whichever button, and leave it open; a right click is
        // no click.
        f.APropos->show();
        for (QLabel *l : {f.Label18, f.Label19})
            for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton})
                clic(l, b);
        clic(f.APropos, Qt::RightButton);
        QVERIFY(f.APropos->isVisible());
        // The report and idea links, by text or picture, answer a left click only, released on
        // them.
        for (QWidget *w :
             std::initializer_list<QWidget *>{f.Label20, f.Picture3, f.Label21, f.Picture4})
            for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton})
                clic(w, b);
        QTest::mousePress(f.Label20, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseRelease(f.Label20, Qt::LeftButton, {}, QPoint(300, 2));
        const QByteArray site = platform::siteAuteur().toUtf8(); // as the build was told
        const QByteArray mail = "mailto:" + platform::adresseAuteur().toUtf8();
        const QByteArray bug = mail + "?subject=Bug%20dans%20Kavel";
        const QByteArray idee = mail + "?subject=J%27ai%20une%20id%C3%A9e%20pour%20Kavel%20%3A-%29";
        QList<QByteArray> ouverts;
        std::transform(m_opened.begin(), m_opened.end(), std::back_inserter(ouverts),
                       [](const QUrl &u) { return u.toEncoded(); });
        QCOMPARE(ouverts, QList<QByteArray>({site, site, mail, mail, bug, bug, idee, idee}));
    }
    // Without a browser or a mail program, a box gives the address to copy.
    void linkWithoutLauncher() {
        Form1 &f = m_w->form;
        platform::setOpenUrlHandler([](const QUrl &) { return false; });
        f.APropos->show();
        for (QWidget *w : QList<QWidget *>{f.Label18, f.Label19, f.Picture4})
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(2, 2));
        QStringList textes;
        for (const platform::MessageBox &b : m_w->dialogs.boxes)
            textes << b.title + " | " + b.text;
        const QString mail = "Kavel | Aucun logiciel de messagerie n'a pu être ouvert.\n"
                             "Adresse à copier : " + platform::adresseAuteur();
        QCOMPARE(textes, QStringList({"Kavel | Aucun navigateur n'a pu être ouvert.\n"
                                      "Adresse à copier : " + platform::siteAuteur(),
                                      mail, mail + "\nObjet : J'ai une idée pour Kavel :-)"}));
    }
    // On a screen of pixel ratio 2 the pictures hold twice the pixels each way, as the chart does.
    void hiDpi() {
        if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) { // this case again, on such a screen
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_SCALE_FACTOR", "2");
            p.setProcessEnvironment(env), p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(QCoreApplication::applicationFilePath(), {"hiDpi"});
            QVERIFY(p.waitForFinished(-1));
            QVERIFY2(p.exitCode() == 0, p.readAll().constData());
            return;
        }
        Form1 &f = m_w->form;
        QCOMPARE(f.devicePixelRatioF(), 2.0);
        for (QLabel *l : {f.Picture1, f.Picture2, f.Picture3, f.Picture4})
            QCOMPARE(l->pixmap().size(), l->size() * 2);
        const QImage fond = f.APropos->palette().window().textureImage();
        QCOMPARE(fond.size(), f.APropos->size() * 2);
        f.APropos->show();
        const QRect rang(4, 240, 790, 1); // a row of background under the version, frame left out
        const QImage vu = f.APropos->grab().toImage().convertToFormat(fond.format());
        QCOMPARE(vu.copy(rang), fond.copy(rang));
    }
    // Installed for every user the data lie in PREFIX/share/kavel; built or at home, by the
    // program.
    void dataFolder() {
        QTemporaryDir t;
        const QDir d(t.path());
        for (const char *dossier : {"usr/bin", "usr/share/kavel", "build/bin", "opt/kavel"})
            d.mkpath(dossier);
        QCOMPARE(platform::dossierDonnees(d.filePath("usr/bin")), d.filePath("usr/share/kavel"));
        QCOMPARE(platform::dossierDonnees(d.filePath("build/bin")), d.filePath("build/bin"));
        QCOMPARE(platform::dossierDonnees(d.filePath("opt/kavel")), d.filePath("opt/kavel"));
    }
    void boldRules() {
        Form1 &f = m_w->form;
        auto gras = [&] {
            QString s;
            for (QLabel *l : {f.Label18, f.Label19, f.Label20, f.Label21})
                s += l->font().bold() ? QLatin1Char('1') : QLatin1Char('0');
            return s;
        };
        f.APropos->show();
        // Straight from one link to another, onto the window's background, onto the panel.
        const std::pair<QWidget *, const char *> pas[] = {
            {f.Label20, "0010"},
            {f.Label21, "0001"},
            {f.Picture3, "0010"},
            {&f, "0000"},
            {f.Picture4, "0001"},
            {f.Label18, "1001"},
            {f.Label19, "1101"},
            {f.APropos, "0000"},
        };
        for (const auto &[w, attendu] : pas) {
            moveOver(w, w == &f ? QPointF(600, 650) : QPointF(5, 5));
            QCOMPARE(gras(), attendu);
        }
    }
    // Tab walks the input column top to bottom, the buttons, the strip and the links; the slider
    // takes arrows, a link Space or Enter; every control has a name.
    void keyboard() {
        Form1 &f = m_w->form;
        f.TxtValeur->setFocus();
        QStringList vus;
        for (int i = 0; i < 35; ++i) {
            vus << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(vus, QStringLiteral("TxtValeur HScroll4 CmbBxSpeed CmbBxDiaf CmbBxIso "
                                     "BtnCalculLumiere CmbBxAppareil "
                                     "BtnMesAppareils CmbBxObjectif "
                                     "TxtFocalMini TxtFocalMaxi TxtDiafMini TxtDiafMiniZoom "
                                     "TxtDiafMaxi TxtDiafMaxiZoom TxtVitesseMini "
                                     "TxtVitesseMaxi TxtIsoMini TxtIsoMaxi ChkBxFlash "
                                     "ChkBxStabilisateur ChkBxVitesseLente ChkBxToolTip "
                                     "BtnGO BtnGO2 Command1 BtnRépartition BtnAfficheMiniature "
                                     "BtnAPropos BtnBasePhoto BtnPhotoAvant "
                                     "BtnPhotoApres Label20 Label21 TxtValeur").split(' '));
        f.HScroll4->setFocus();
        const auto *cadre = f.findChild<QFrame *>(QStringLiteral("CadreFocus"));
        // Focus shows.
        QVERIFY(cadre);
        QVERIFY(cadre->isVisible());
        QVERIFY(cadre->geometry().contains(f.HScroll4->geometry()));
        f.TxtValeur->setFocus();
        QVERIFY(!cadre->isVisible()); // and goes with it
        f.HScroll4->setFocus();
        const int avant = f.HScroll4->value();
        QTest::keyClick(f.HScroll4, Qt::Key_Right);
        QVERIFY(std::abs(f.HScroll4->value() - avant) == f.HScroll4->singleStep());
        QCOMPARE(f.TxtValeur->text(),
                 QString::number(f.HScroll4->value() / 10.0).replace('.', ','));
        f.Label20->setFocus();
        QTest::keyClick(f.Label20, Qt::Key_Space);
        QCOMPARE(m_opened.size(), 1);
        for (QWidget *w : f.findChildren<QWidget *>())
            QVERIFY2(!w->accessibleName().isEmpty() || !(w->focusPolicy() & Qt::TabFocus),
                     qPrintable(w->objectName()));
    }
    // One look for every window, in French: message boxes, lists, menus and tooltips dark; Qt's
    // own texts French.
    void oneLook() {
        appliqueApparence(*qApp);
        QMessageBox boite(QMessageBox::Critical, QStringLiteral("Erreur"), QStringLiteral("x"),
                          QMessageBox::Ok);
        QLineEdit saisie;
        const std::unique_ptr<QMenu> menu(saisie.createStandardContextMenu());
        QStringList vus;
        for (const QPalette &p :
             {boite.palette(), menu->palette(), QToolTip::palette(),
              static_cast<QComboBox *>(m_w->form.CmbBxAppareil)->view()->palette()})
            vus << p.color(QPalette::Window).name() + p.color(QPalette::Base).name()
                       + p.color(QPalette::ToolTipBase).name();
        QCOMPARE(vus, QStringList(4, QStringLiteral("#282828#000000#383838")));
        QString textes;
        for (const QAction *a : menu->actions())
            textes += a->text().remove(QLatin1Char('&')) + '|';
        QVERIFY2(textes.contains(QStringLiteral("Copier")), qPrintable(textes));
        QVERIFY2(textes.contains(QStringLiteral("Coller")), qPrintable(textes));
        QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(48, 48)));
        QVERIFY(!m_w->form.windowIcon().isNull());
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FenetreActive> m_w;
    QList<QUrl> m_opened;
    platform::OpenUrlHandler m_previous;
};

QTEST_MAIN(TestAPropos)
#include "tst_apropos.moc"
