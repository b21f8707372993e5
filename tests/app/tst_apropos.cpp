// The windows' look and layout, the About panel and its links, the keyboard.
#include "app/Apparence.h"
#include "app/Images.h"
#include "photos/scan/FormRecherchePhoto.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>

using namespace kavel;
using Widgets = std::initializer_list<QWidget *>;

namespace {
// Each control's place in both windows (the main one at two sizes), a few palettes, each picture's
// mean colour in tenths (B G R A).
QStringList apparence(Form1 &f) {
    QStringList lines;
    const auto places = [&](QWidget &window) {
        QStringList mine; // by name
        for (QWidget *w : window.findChildren<QWidget *>(QRegularExpression("^(?!qt_).")))
            mine << QString::asprintf("%dx%d %s %d,%d %dx%d", window.width(), window.height(),
                                      qUtf8Printable(w->objectName()), w->x(), w->y(),
                                      w->width(), w->height());
        mine.sort(), lines << mine;
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
void enter(QWidget *w, Qt::Key key) { w->setFocus(), QTest::keyClick(w, key); }
} // namespace

class TestAPropos : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<FenetreActive> m_w;
    Form1 *f = nullptr;
    QList<QByteArray> m_opened;
    platform::OpenUrlHandler m_previous;
private slots:
    void init() {
        m_opened.clear(), m_previous = platform::setOpenUrlHandler([this](const QUrl &u) {
            return m_opened << u.toEncoded(), true;
        });
        m_w = std::make_unique<FenetreActive>(m_dir.path()), f = &m_w->form;
    }
    void cleanup() { m_w.reset(), platform::setOpenUrlHandler(std::move(m_previous)); }
    void lookAndLayout(); void aboutPanelAndLinks();
    void keyboard(); void oneLook();
};

// Against tests/app/apparence.txt (KAVEL_REECRIRE=1 rewrites it).
void TestAPropos::lookAndLayout() {
    const QStringList seen = apparence(*f);
    QFile file(KAVEL_SOURCE_DIR "/tests/app/apparence.txt");
    const bool rewrite = qEnvironmentVariableIsSet("KAVEL_REECRIRE");
    QVERIFY(file.open(rewrite ? QIODevice::WriteOnly : QIODevice::ReadOnly));
    if (rewrite) {
        file.write(seen.join('\n').toUtf8() + '\n');
        QSKIP("reference rewritten");
    }
    const QStringList want = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(seen.size(), want.size());
    for (qsizetype i = 0; i < seen.size(); ++i) { // a blend may round a picture's last bit
        const QStringList s = seen[i].split(' '), w = want[i].split(' ');
        bool near = s[0] == "image" && s.size() == w.size();
        for (qsizetype k = 3; near && k < s.size(); ++k)
            near = std::abs(s[k].toInt() - w[k].toInt()) <= 1;
        if (!near) QCOMPARE(seen[i], want[i]);
    }
    QCOMPARE(f->chart().cx(5000), float(1175)); // the right edge at 1/5000 s
    QCOMPARE(f->NbCouple, 85);
    QVERIFY(f->TimerMiniature->isActive()); // the strip waits
    f->NbCouple = -1;
    f->showMinimized();
    QTRY_VERIFY(f->isMinimized());
    f->Form_Resize();
    QCOMPARE(f->NbCouple, -1);
    f->showNormal();
    QTRY_COMPARE(f->NbCouple, 85);
}
void TestAPropos::aboutPanelAndLinks() {
    click(f->BtnAPropos);
    QVERIFY(f->APropos->isVisible());
    click(f->BtnAPropos);
    QVERIFY(f->APropos->isHidden());
    // A click on the panel closes it; so does Escape anywhere.
    for (QWidget *w : Widgets{f->APropos, f->Label14, f->Picture1, f->TxtValeur}) {
        f->APropos->show();
        if (w == f->TxtValeur) enter(w, Qt::Key_Escape);
        else click(w);
        QVERIFY2(f->APropos->isHidden(), qPrintable(w->objectName()));
    }
    // Site and mail open on a press, any button.
    f->APropos->show();
    for (QWidget *w : Widgets{f->Label18, f->Label19, f->Label20, f->Picture3, f->Label21,
                              f->Picture4})
        click(w), click(w, Qt::RightButton);
    click(f->APropos, Qt::RightButton);
    QVERIFY(f->APropos->isVisible());
    QTest::mousePress(f->Label20, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(f->Label20, Qt::LeftButton, {}, QPoint(300, 2));
    const QByteArray site = platform::siteAuteur().toUtf8(),
        mail = "mailto:" + platform::adresseAuteur().toUtf8(), bug = mail + "?subject=Bug%20dans"
        "%20Kavel", idea = mail + "?subject=J%27ai%20une%20id%C3%A9e%20pour%20Kavel%20%3A-%29";
    QCOMPARE(m_opened, QList<QByteArray>({site, site, mail, mail, bug, bug, idea, idea}));
    // Nothing to open them: a box gives the address.
    platform::setOpenUrlHandler([](const QUrl &) { return false; });
    click(f->Label18), click(f->Picture4);
    QStringList said;
    for (const platform::MessageBox &b : m_w->dialogs.boxes) said << b.text;
    const QString copy = " n'a pu être ouvert.\nAdresse à copier : ";
    QCOMPARE(said, QStringList({"Aucun navigateur" + copy + platform::siteAuteur(),
                                "Aucun logiciel de messagerie" + copy + platform::adresseAuteur()
                                    + "\nObjet : J'ai une idée pour Kavel :-)"}));
}
// Tab's order; the slider's focus shown; Space on a link; every control named.
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
    const auto *frame = f->findChild<QFrame *>("CadreFocus");
    QVERIFY(frame->isVisible());
    f->TxtValeur->setFocus();
    QVERIFY(!frame->isVisible());
    enter(f->Label20, Qt::Key_Space);
    QCOMPARE(m_opened.size(), 1);
    for (QWidget *w : f->findChildren<QWidget *>())
        QVERIFY2(!w->accessibleName().isEmpty() || !(w->focusPolicy() & Qt::TabFocus),
                 qPrintable(w->objectName()));
}
// One dark look for every window, tooltips too; Qt's own texts in French.
void TestAPropos::oneLook() {
    appliqueApparence(*qApp);
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    for (const QPalette &p : {menu->palette(), QToolTip::palette()})
        QCOMPARE(p.color(QPalette::Window).name() + p.color(QPalette::Base).name()
                     + p.color(QPalette::ToolTipBase).name(), "#282828#000000#383838");
    QString texts;
    for (const QAction *a : menu->actions()) texts += a->text().remove('&') + '|';
    QVERIFY2(texts.contains("Coller"), qPrintable(texts));
    QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(48, 48)));
}

QTEST_MAIN(TestAPropos)
#include "tst_apropos.moc"
