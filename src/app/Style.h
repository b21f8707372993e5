#pragma once

#include "app/Apparence.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

// Colours of single controls of the main window.
namespace kavel::style {

inline void setBackground(QWidget *w, QPalette::ColorRole role, QColor colour)
{
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

inline void setTextColour(QWidget *w, QColor colour)
{
    setBackground(w, QPalette::WindowText, colour);
}

// A label that reads as a box: white text on black, on any background.
inline void blancSurNoir(QWidget *w)
{
    w->setAutoFillBackground(true);
    setBackground(w, QPalette::Window, couleurs::kCaseFond);
    setTextColour(w, couleurs::kCaseTexte);
}

} // namespace kavel::style
