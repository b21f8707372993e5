// The windows' look and layout, the About panel and its links, the keyboard.
#include "app/Apparence.h"
#include "app/Form1.h"
#include "app/Images.h"
#include "photos/scan/FormRecherchePhoto.h"
#include "platform/DropDownComboBox.h"
#include "platform/PictureBox.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

using namespace kavel;
using Widgets = std::initializer_list<QWidget *>;

namespace {
// What the user sees, line by line: every control's place in both windows (the main one at two
// sizes), a few palettes, each picture's mean colour in tenths (B G R A).
QStringList apparence(Form1 &f) {
    QStringList lines;
    const auto places = [&](QWidget &window) {
        auto all = window.findChildren<QWidget *>(QRegularExpression("^(?!qt_)."));
        std::sort(all.begin(), all.end(),
                  [](auto *a, auto *b) { return a->objectName() < b->objectName(); });
        for (QWidget *w : all)
            lines << QString("%1x%2 %3 %4,%5 %6x%7").arg(window.width()).arg(window.height())
                         .arg(w->objectName()).arg(w->x()).arg(w->y()).arg(w->width())
                         .arg(w->height());
    };
    places(f);
    f.resize(1400, 1000), places(f);
    FormRecherchePhoto scan(f.programFolder());
    places(scan);
    for (QWidget *w : Widgets{&f, f.APropos, f.Label14}) {
        lines << "palette " + w->objectName();
        for (int r = 0; r < QPalette::NColorRoles; ++r)
            lines.last() += ' ' + w->palette().color(QPalette::ColorRole(r)).name();
    }
    const std::pair<const char *, QImage> images[] = {
        {"fond", images::fondAPropos(QSize(401, 305))}, {"diaphragme", images::diaphragme(96)},
        {"appareil", images::appareil(QSize(96, 72))}, {"insecte", images::insecte(16)},
        {"ampoule", images::ampoule(16)}, {"icone", images::icone(64)}};
    for (const auto &[name, image] : images) {
        const int w = image.width(), n = w * image.height();
        qint64 sum[4] = {};
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < 4; ++k) sum[k] += (image.pixel(i % w, i / w) >> (8 * k)) & 0xFF;
        lines << QString("image %1 %2x%3").arg(name).arg(w).arg(image.height());
        for (qint64 s : sum) lines.last() += ' ' + QString::number(qRound(s * 10.0 / n));
    }
    return lines;
}
void click(QWidget *w, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseClick(w, b, {}, QPoint(2, 2));
}
} // namespace

class TestAPropos : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<FenetreActive> m_w;
    Form1 *f = nullptr;
    QList<QUrl> m_opened;
    platform::OpenUrlHandler m_previous;
private slots:
    void init() {
        m_opened.clear();
        m_previous = platform::setOpenUrlHandler([this](const QUrl &u) {
            m_opened << u;
            return true;
        });
        m_w = std::make_unique<FenetreActive>(m_dir.path()), f = &m_w->form;
    }
    void cleanup() { m_w.reset(), platform::setOpenUrlHandler(std::move(m_previous)); }
    void lookAndLayout(); void aboutPanelAndLinks(); void linkWithoutLauncher(); void hiDpi();
    void dataFolder(); void boldRules(); void keyboard(); void oneLook();
};

// Against tests/app/apparence.txt; KAVEL_REECRIRE=1 rewrites it.
void TestAPropos::lookAndLayout() {
    const QStringList seen = apparence(*f);
    QFile file(KAVEL_SOURCE_DIR "/tests/app/apparence.txt");
    if (qEnvironmentVariableIsSet("KAVEL_REECRIRE")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(seen.join('\n').toUtf8() + '\n');
        QSKIP("reference rewritten");
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList want = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(seen.size(), want.size());
    for (qsizetype i = 0; i < seen.size(); ++i) { // a blend may round a picture's last bit
        const QStringList s = seen[i].split(' '), w = want[i].split(' ');
        bool near = s[0] == "image" && s.size() == w.size();
        for (qsizetype k = 3; near && k < s.size(); ++k)
            near = std::abs(s[k].toInt() - w[k].toInt()) <= 1;
        if (!near) QCOMPARE(seen[i], want[i]);
    }
    // Redrawn for the new size: the right edge at 1/5000 s; the strip waits for its timer.
    QCOMPARE(f->Graphic->surface().width(), 1176);
    QCOMPARE(f->chart().cx(5000), float(1175));
    QCOMPARE(f->NbCouple, 85);
    QVERIFY(f->TimerMiniature->isActive());
    const QRect before = f->Graphic->geometry(); // minimised, nothing moves, nothing is drawn
    f->NbCouple = -1;
    f->showMinimized();
    QTRY_VERIFY(f->isMinimized());
    f->Form_Resize();
    QCOMPARE(QPair(f->Graphic->geometry(), f->NbCouple), QPair(before, -1));
    f->showNormal();
    QTRY_COMPARE(f->NbCouple, 85);
}
void TestAPropos::aboutPanelAndLinks() {
    click(f->BtnAPropos);
    QVERIFY(f->APropos->isVisible());
    click(f->BtnAPropos);
    QVERIFY(f->APropos->isHidden());
    // A click on the panel, its title, version or picture closes it; so does Escape anywhere.
    for (QWidget *w : Widgets{f->APropos, f->Label14, f->LblVersion, f->Picture1}) {
        f->APropos->show(), click(w);
        QVERIFY2(f->APropos->isHidden(), qPrintable(w->objectName()));
    }
    for (QWidget *w : Widgets{f->TxtValeur, f->HScroll4, f->CmbBxAppareil, f->BtnAPropos}) {
        f->APropos->show(), w->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY2(f->APropos->isHidden(), qPrintable(w->objectName()));
    }
    const auto *licence = f->APropos->findChild<QLabel *>("LblLicence");
    QVERIFY(licence->sizeHint().width() <= licence->width()); // on its one line
    // The site and mail links open on the press, whichever button, and leave it open; a right
    // click on it is no click. The report and idea links, by text or picture, answer a left
    // click only, released on them.
    f->APropos->show();
    for (QWidget *w : Widgets{f->Label18, f->Label19, f->Label20, f->Picture3, f->Label21,
                              f->Picture4})
        click(w), click(w, Qt::RightButton);
    click(f->APropos, Qt::RightButton);
    QVERIFY(f->APropos->isVisible());
    QTest::mousePress(f->Label20, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(f->Label20, Qt::LeftButton, {}, QPoint(300, 2));
    const QByteArray site = platform::siteAuteur().toUtf8(); // as the build was told
    const QByteArray mail = "mailto:" + platform::adresseAuteur().toUtf8();
    const QByteArray bug = mail + "?subject=Bug%20dans%20Kavel";
    const QByteArray idea = mail + "?subject=J%27ai%20une%20id%C3%A9e%20pour%20Kavel%20%3A-%29";
    QList<QByteArray> opened;
    for (const QUrl &u : m_opened) opened << u.toEncoded();
    QCOMPARE(opened, QList<QByteArray>({site, site, mail, mail, bug, bug, idea, idea}));
}
// Without a browser or a mail program, a box gives the address to copy.
void TestAPropos::linkWithoutLauncher() {
    platform::setOpenUrlHandler([](const QUrl &) { return false; });
    f->APropos->show();
    for (QWidget *w : Widgets{f->Label18, f->Label19, f->Picture4}) click(w);
    QStringList said;
    for (const platform::MessageBox &b : m_w->dialogs.boxes) said << b.title + " | " + b.text;
    const QString copy = "\nAdresse à copier : ", mail = "Kavel | Aucun logiciel de messagerie "
        "n'a pu être ouvert." + copy + platform::adresseAuteur();
    QCOMPARE(said, QStringList({"Kavel | Aucun navigateur n'a pu être ouvert." + copy
                                    + platform::siteAuteur(),
                                mail, mail + "\nObjet : J'ai une idée pour Kavel :-)"}));
}
// On a screen of pixel ratio 2 the pictures hold twice the pixels each way, as the chart does.
void TestAPropos::hiDpi() {
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
    QCOMPARE(f->devicePixelRatioF(), 2.0);
    for (QLabel *l : {f->Picture1, f->Picture2, f->Picture3, f->Picture4})
        QCOMPARE(l->pixmap().size(), l->size() * 2);
    const QImage back = f->APropos->palette().window().textureImage();
    QCOMPARE(back.size(), f->APropos->size() * 2);
    f->APropos->show();
    const QRect row(4, 240, 790, 1); // background under the version, the frame left out
    QCOMPARE(f->APropos->grab().toImage().convertToFormat(back.format()).copy(row), back.copy(row));
}
// Installed for every user the data lie in PREFIX/share/kavel; built or at home, by the program.
void TestAPropos::dataFolder() {
    QTemporaryDir t;
    const QDir d(t.path());
    for (const char *dir : {"usr/bin", "usr/share/kavel", "build/bin", "opt/kavel"}) d.mkpath(dir);
    for (auto [bin, data] : {std::pair{"usr/bin", "usr/share/kavel"}, {"build/bin", "build/bin"},
                             {"opt/kavel", "opt/kavel"}})
        QCOMPARE(platform::dossierDonnees(d.filePath(bin)), d.filePath(data));
}
// The links turn bold under the pointer, straight from one to another, back to plain off them.
void TestAPropos::boldRules() {
    const auto bold = [this] {
        QString s;
        for (QLabel *l : {f->Label18, f->Label19, f->Label20, f->Label21})
            s += l->font().bold() ? '1' : '0';
        return s;
    };
    f->APropos->show();
    const std::pair<QWidget *, const char *> steps[] = {{f->Label20, "0010"},
        {f->Label21, "0001"}, {f->Picture3, "0010"}, {f, "0000"}, {f->Picture4, "0001"},
        {f->Label18, "1001"}, {f->Label19, "1101"}, {f->APropos, "0000"}};
    for (const auto &[w, want] : steps) {
        moveOver(w, w == f ? QPointF(600, 650) : QPointF(5, 5)); // the window's background
        QCOMPARE(bold(), want);
    }
}
// Tab walks the input column top to bottom, the buttons, the strip and the links; the slider
// takes arrows, a link Space; every control has a name.
void TestAPropos::keyboard() {
    f->TxtValeur->setFocus();
    QStringList seen;
    for (int i = 0; i < 35; ++i) {
        seen << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(seen.join(' '), "TxtValeur HScroll4 CmbBxSpeed CmbBxDiaf CmbBxIso BtnCalculLumiere "
        "CmbBxAppareil BtnMesAppareils CmbBxObjectif TxtFocalMini TxtFocalMaxi TxtDiafMini "
        "TxtDiafMiniZoom TxtDiafMaxi TxtDiafMaxiZoom TxtVitesseMini TxtVitesseMaxi TxtIsoMini "
        "TxtIsoMaxi ChkBxFlash ChkBxStabilisateur ChkBxVitesseLente ChkBxToolTip BtnGO BtnGO2 "
        "Command1 BtnRépartition BtnAfficheMiniature BtnAPropos BtnBasePhoto BtnPhotoAvant "
        "BtnPhotoApres Label20 Label21 TxtValeur");
    f->HScroll4->setFocus();
    const auto *frame = f->findChild<QFrame *>("CadreFocus"); // focus shows, and goes with it
    QVERIFY(frame);
    QVERIFY(frame->isVisible());
    QVERIFY(frame->geometry().contains(f->HScroll4->geometry()));
    f->TxtValeur->setFocus();
    QVERIFY(!frame->isVisible());
    f->HScroll4->setFocus();
    const int before = f->HScroll4->value();
    QTest::keyClick(f->HScroll4, Qt::Key_Right);
    QCOMPARE(std::abs(f->HScroll4->value() - before), f->HScroll4->singleStep());
    QCOMPARE(f->TxtValeur->text(), QString::number(f->HScroll4->value() / 10.0).replace('.', ','));
    f->Label20->setFocus();
    QTest::keyClick(f->Label20, Qt::Key_Space);
    QCOMPARE(m_opened.size(), 1);
    for (QWidget *w : f->findChildren<QWidget *>())
        QVERIFY2(!w->accessibleName().isEmpty() || !(w->focusPolicy() & Qt::TabFocus),
                 qPrintable(w->objectName()));
}
// One look for every window, in French: message boxes, lists, menus and tooltips dark; Qt's
// own texts French.
void TestAPropos::oneLook() {
    appliqueApparence(*qApp);
    QMessageBox box(QMessageBox::Critical, "Erreur", "x", QMessageBox::Ok);
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList seen;
    for (const QPalette &p : {box.palette(), menu->palette(), QToolTip::palette(),
                              static_cast<QComboBox *>(f->CmbBxAppareil)->view()->palette()})
        seen << p.color(QPalette::Window).name() + p.color(QPalette::Base).name()
                    + p.color(QPalette::ToolTipBase).name();
    QCOMPARE(seen, QStringList(4, "#282828#000000#383838"));
    QString texts;
    for (const QAction *a : menu->actions()) texts += a->text().remove('&') + '|';
    QVERIFY2(texts.contains("Copier"), qPrintable(texts));
    QVERIFY2(texts.contains("Coller"), qPrintable(texts));
    QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(48, 48)));
    QVERIFY(!f->windowIcon().isNull());
}

QTEST_MAIN(TestAPropos)
#include "tst_apropos.moc"
