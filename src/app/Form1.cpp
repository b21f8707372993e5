#include "app/Form1.h"

#include "platform/Desktop.h"
#include "platform/DropDownComboBox.h"
#include "platform/SurfaceWidget.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <utility>

namespace kavel {

namespace {

constexpr QSize kTailleInterieure(975, 703); // design inner size
constexpr QRgb kBlanc = 0xFFFFFFFF;

// Dark scheme: black input boxes with light text on a dark window.
QPalette darkPalette()
{
    QPalette p;
    const QColor window(40, 40, 40);
    const QColor light(230, 230, 230);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, light);
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::AlternateBase, QColor(24, 24, 24));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Button, QColor(64, 64, 64));
    p.setColor(QPalette::ButtonText, light);
    p.setColor(QPalette::Highlight, QColor(70, 110, 170));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Light, QColor(90, 90, 90));
    p.setColor(QPalette::Midlight, QColor(75, 75, 75));
    p.setColor(QPalette::Mid, QColor(50, 50, 50));
    p.setColor(QPalette::Dark, QColor(30, 30, 30));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    return p;
}

template <typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

} // namespace

Form1::Form1()
    : Form1(platform::programFolder())
{
}

Form1::Form1(const QString &programFolder, QWidget *parent)
    : QWidget(parent)
    , m_programFolder(programFolder)
{
    createControls();
    connectReactions();
    installKeyPreview();
    Form_Load();
}

void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kavel - Logiciel didactique"));
    setPalette(darkPalette());
    setAutoFillBackground(true);
    setMouseTracking(true);
    resize(kTailleInterieure);

    Graphic = named(new SurfaceWidget(this), "Graphic");
    Graphic->setGeometry(216, 24, 753, 552);

    // Light panel: a large label that forms its background.
    Label11 = named(new QLabel(QStringLiteral("Quantité de lumière"), this), "Label11");
    Label11->setGeometry(4, 4, 208, 242);
    Label11->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label11->setAutoFillBackground(true);
    {
        QPalette p = Label11->palette();
        p.setColor(QPalette::Window, QColor(64, 64, 64));
        p.setColor(QPalette::WindowText, Qt::white);
        Label11->setPalette(p);
    }

    Label10 = named(new QLabel(QStringLiteral("Triplet (Vitesse, diaphragme, Iso) donnant une exposition "
                                              "correcte pour une lumière donnée"),
                               this),
                    "Label10");
    Label10->setGeometry(8, 186, 200, 28);
    Label10->setWordWrap(true);

    CmbBxSpeed = named(new DropDownComboBox(this), "CmbBxSpeed");
    CmbBxSpeed->setGeometry(8, 216, 66, 22);
    CmbBxSpeed->setEditText(QStringLiteral("Speed"));
    CmbBxDiaf = named(new DropDownComboBox(this), "CmbBxDiaf");
    CmbBxDiaf->setGeometry(76, 216, 50, 22);
    CmbBxDiaf->setEditText(QStringLiteral("Diaf"));
    CmbBxIso = named(new DropDownComboBox(this), "CmbBxIso");
    CmbBxIso->setGeometry(128, 216, 54, 22);
    CmbBxIso->setEditText(QStringLiteral("Iso"));

    // About panel, on the chart, hidden until asked for.
    APropos = named(new QFrame(Graphic), "APropos");
    APropos->setGeometry(176, 152, 401, 305);
    APropos->setFrameShape(QFrame::Box);
    APropos->setAutoFillBackground(true);
    APropos->hide();
    LblVersion = named(new QLabel(QStringLiteral("Version"), APropos), "LblVersion");
    LblVersion->setGeometry(16, 96, 369, 20);
    LblVersion->setAlignment(Qt::AlignHCenter);
}

void Form1::connectReactions()
{
}

// The window sees Enter before the focused control does, wherever the focus is.
void Form1::installKeyPreview()
{
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            Form_KeyPress(13);
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        Form_KeyPress(13);
    QWidget::keyPressEvent(event);
}

bool Form1::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void Form1::InitRange()
{
    range = kavel::InitRange(VitesseMaxBoitier);
}

void Form1::Form_Load()
{
    m_limitation.InstalleLimitation(this);
    Graphic->surface().setTextColour(kBlanc);
    VitesseMaxBoitier = 4000;
    VitesseFlash = 200;
    bInhibeMiniature = true;
    scales = ExposureScales::standard();
    InitRange();

    const platform::Version version = platform::programVersion();
    LblVersion->setText(QStringLiteral("Version %1.%2.%3").arg(version.major).arg(version.minor).arg(version.patch));

    // The lists keep their placeholder on show with nothing selected.
    const auto fill = [](DropDownComboBox *list, const QStringList &items) {
        const QString shown = list->currentText();
        list->addItems(items);
        list->setCurrentIndex(-1);
        list->setEditText(shown);
    };
    fill(CmbBxIso, scales.isoItems());
    fill(CmbBxDiaf, scales.diafItems());
    fill(CmbBxSpeed, scales.speedItems());

    CmbBxDiaf->setDropDownHeight(320);
    CmbBxSpeed->setDropDownHeight(320);
    CmbBxIso->setDropDownHeight(320);
}

void Form1::Form_Activate()
{
    // The flag is raised before the box is shown: closing the box activates
    // the window again, which must not show a second box.
    if (!std::exchange(bDejaActive, true)) {
        platform::showMessage(this, {QStringLiteral("Kavel"),
                                     QStringLiteral("Kavel est encore en cours d'affinage. N'hésitez pas à m'envoyer "
                                                    "vos idées d'amélioration et les éventuels bugs. Merci :-)"),
                                     platform::BoxIcon::None});
    }
}

void Form1::Form_KeyPress(int keyAscii)
{
    if (keyAscii != 13)
        return;
}

void Form1::Form_MouseMove()
{
}

void Form1::Form_Unload()
{
    m_limitation.RetireLimitation();
}

} // namespace kavel
