#pragma once

#include "app/LimitationTaille.h"
#include "exposure/Scales.h"

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;

namespace kavel {

class DropDownComboBox;
class SurfaceWidget;

// The main window. It owns every control and all state of the running
// program; its handlers read the controls, call the pure code of the
// subsystems and write the results back.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // programFolder holds the lens catalogues and the photo base.
    explicit Form1(const QString &programFolder, QWidget *parent = nullptr);
    Form1();

    const QString &programFolder() const { return m_programFolder; }

    // Controls (their objectName is their member name).
    SurfaceWidget *Graphic = nullptr;
    QFrame *APropos = nullptr;
    QLabel *LblVersion = nullptr;
    QLabel *Label11 = nullptr;
    QLabel *Label10 = nullptr;
    DropDownComboBox *CmbBxSpeed = nullptr;
    DropDownComboBox *CmbBxDiaf = nullptr;
    DropDownComboBox *CmbBxIso = nullptr;

    // Shared state of the main window.
    ExposureScales scales;
    AxisRange range;
    double VitesseMaxBoitier = 0; // fastest speed value of the body
    double VitesseFlash = 0;      // flash synchronisation speed value
    bool bInhibeMiniature = false;
    bool bDejaActive = false;

    void InitRange();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void createControls();
    void connectReactions();
    void installKeyPreview();

    void Form_Load();
    void Form_Activate();
    void Form_KeyPress(int keyAscii);
    void Form_MouseMove();
    void Form_Unload();

    QString m_programFolder;
    LimitationTaille m_limitation;
};

} // namespace kavel
