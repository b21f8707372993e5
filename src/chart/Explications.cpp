#include "chart/Explications.h"

#include "chart/ChartInputs.h"
#include "exposure/NumberText.h"
#include "exposure/Scales.h"

namespace kavel {

using namespace colours;

namespace {

const QString kLigne = QStringLiteral("\r\n");

QString texteCouple(const ExposureScales &sc, const TypeCouple &c)
{
    const double num = sc.TabVitesseNum[c.IndVitesse];
    const double den = sc.TabVitesseDen[c.IndVitesse];
    const QString vitesse = den == 1 ? numText(num) + QLatin1Char('s')
                                     : numText(num) + QLatin1Char('/') + numText(den) + QLatin1Char('s');
    return vitesse + QStringLiteral("  -  F/") + numText(sc.TabDiaf[c.IndDiaf]) + QStringLiteral("  -  Iso")
        + numText(sc.TabIso[c.IndIso]);
}

// The marker under the point: the last recorded one within reach.
int coupleSous(const std::vector<TypeCouple> &couples, double x, double y)
{
    int best = -1;
    for (int i = 0; i < static_cast<int>(couples.size()); ++i) {
        const double dx = x - couples[i].X;
        const double dy = y - couples[i].Y;
        if (dx * dx + dy * dy < 30)
            best = i;
    }
    return best;
}

} // namespace

Explication Explique(const ChartView &chart, const ChartInputs &in, const ExposureScales &scales,
                     const std::vector<TypeCouple> &couples, double x, double y)
{
    if (const int i = coupleSous(couples, x, y); i >= 0)
        return {texteCouple(scales, couples[static_cast<std::size_t>(i)]), kBulleCouple, kTailleBulleCouple,
                Qt::AlignHCenter | Qt::AlignVCenter};

    Explication e{QStringLiteral("Zone d'utilisation courante de cet objectif (sans pied)") + kLigne + kLigne
                      + QStringLiteral("Si le sujet bouge vite dans le viseur (Sport) attention au flou de bougé du "
                                       "sujet"),
                  kBulleVert, kTailleBulleZone, Qt::AlignLeft | Qt::AlignTop};
    const auto tient = [&e](const QString &texte, QRgb couleur) {
        e.texte = texte;
        e.couleur = couleur;
    };

    // A missing number places its limit nowhere (NaN), so its test never holds.
    const auto valeur = [](const std::optional<double> &v) { return v.value_or(0); };
    const double xFocalMini = chart.cx(in.limiteFlou(valeur(in.focalMini)));
    const double xFocalMaxi = chart.cx(in.limiteFlou(valeur(in.focalMaxi)));
    const double yDiafMini = chart.cy(valeur(in.diafMini));
    const double yDiafMaxi = chart.cy(valeur(in.diafMaxi));
    const double yDiafMiniZoom = chart.cy(valeur(in.diafMiniZoom));
    const QString limiteBouge = QStringLiteral("LIMITE DE FLOU DE BOUGE DE L'APPAREIL") + kLigne;
    const QString limiteObjectif = QStringLiteral("LIMITE DE L'OBJECTIF") + kLigne;

    if (x < xFocalMini)
        tient(limiteBouge
                  + QStringLiteral("A cette vitesse d'obturation vous devez utiliser un pied afin d'éviter un flou dû "
                                   "au bougé de l'appareil ou eventuellement le flash pour faire de la synchro lente"),
              kBulleRouge);
    if (xFocalMini < x && x < xFocalMaxi)
        tient(limiteBouge
                  + QStringLiteral("Suivant la focale choisie vous risquez un flou dû au bougé de l'appareil"),
              kBulleOrange);
    if (in.flash && chart.cx(in.vitesseFlash) < x && x < chart.cx(in.vitesseMaxBoitier))
        tient(QStringLiteral("LIMITE DE FLASH INTERNE") + kLigne
                  + QStringLiteral("Il ne peut pas être utilisé pour des vitesses sup. à 1/") + numText(in.vitesseFlash)
                  + QStringLiteral("s. A haute vitesse, l'obturateur commence à se fermer avant d'être completement "
                                   "ouvert; seule une partie de la photo serait éclairée par le flash."),
              kBulleRouge);
    if (y < yDiafMaxi)
        tient(limiteObjectif + QStringLiteral("Cette objectif ne peut pas fermer à plus de F/") + in.diafMaxiText
                  + kLigne
                  + QStringLiteral("Plus le diaphragme est fermé plus la profondeur de champs est importante et plus "
                                   "les poussières sur le capteur sont visibles"),
              kBulleRouge);
    if (y > yDiafMini)
        tient(limiteObjectif + QStringLiteral("Cette objectif ne peut pas ouvrir à plus de F/") + in.diafMiniText
                  + kLigne
                  + QStringLiteral("Plus le diaphragme est ouvert, plus la profondeur de champs est faible et plus il "
                                   "faut soigner la mise au point"),
              kBulleRouge);
    if (x > xFocalMaxi && yDiafMiniZoom < y && y < yDiafMini)
        tient(limiteObjectif + QStringLiteral("Cette objectif ne peut pas ouvrir autant à toutes les focales"),
              kBulleOrange);
    // On a smaller sensor the same focal length frames tighter and shows
    // shake sooner: the 1/focal rule then goes by the 24x36 equivalent.
    if (in.recadrage != 1 && (e.couleur == kBulleVert || e.texte.startsWith(limiteBouge)))
        e.texte += kLigne + QStringLiteral("Règle du 1/focale en équivalent 24x36 (focale x ")
            + numText(in.recadrage) + QLatin1Char(')');
    return e;
}

QPoint PlaceBulle(double x, double y, QSize box, QSize chart)
{
    double left = x + 16;
    if (chart.width() - box.width() < x + 16)
        left = x - box.width() - 16;
    double top = y + 16;
    if (chart.height() - box.height() < y + 16)
        top = y - box.height() - 16;
    return QPoint(qRound(left), qRound(top));
}

} // namespace kavel
