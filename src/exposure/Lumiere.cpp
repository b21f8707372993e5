#include "exposure/Lumiere.h"

#include "exposure/NumberText.h"

#include <algorithm>
#include <cmath>

namespace kavel {

std::optional<int> calculLumiere(const ExposureScales &scales, int speedIndex, const QString &diafText,
                                 const QString &isoText)
{
    if (speedIndex < 0 || speedIndex >= kNbVitesses)
        return std::nullopt;
    const double s = scales.speedValue(speedIndex);
    const std::optional<double> n = readNumber(diafText);
    const std::optional<double> iso = readNumber(isoText);
    if (!n || !iso)
        return std::nullopt;
    const double x = s * (*n * *n) / *iso * 100;
    if (!(x > 0) || !std::isfinite(x))
        return std::nullopt;
    double e = 10 * std::log(x) / std::log(2.0);
    if (e > kNiveauMax)
        e = kNiveauMax;
    if (e < kNiveauMin)
        e = kNiveauMin;
    return static_cast<int>(std::nearbyint(e)); // halves to the even neighbour
}

double gris(double ev)
{
    return (10 * ev - kNiveauMin) * 255 / (kNiveauMax - kNiveauMin);
}

int niveauGris(double ev)
{
    return static_cast<int>(std::nearbyint(std::clamp(gris(ev), 0.0, 255.0)));
}

QString texteLux(float lux)
{
    const QString fixe = QString::number(static_cast<double>(lux), 'f', 3);
    const qsizetype point = fixe.indexOf(QLatin1Char('.'));
    QString entier = fixe.left(point);
    QString decimales = fixe.mid(point + 1);
    while (decimales.endsWith(QLatin1Char('0')))
        decimales.chop(1);
    // A value that rounds to zero has no sign: "-0 lux" would read as a fault.
    bool negatif = entier.startsWith(QLatin1Char('-'));
    if (negatif)
        entier.remove(0, 1);
    if (entier == QLatin1String("0") && decimales.isEmpty())
        negatif = false;
    for (qsizetype i = entier.size() - 3; i > 0; i -= 3)
        entier.insert(i, QLatin1Char(' '));
    QString texte = (negatif ? QStringLiteral("-") : QString()) + entier;
    if (!decimales.isEmpty())
        texte += QLatin1Char(',') + decimales;
    return texte + QStringLiteral(" lux");
}

} // namespace kavel
