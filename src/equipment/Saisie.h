#pragma once

#include "exposure/NumberText.h"

#include <QValidator>
#include <QtGlobal>
#include <algorithm>
#include <optional>

namespace kavel {

// What a key typed into a numeric box becomes: digits and backspace pass,
// the decimal comma passes whether typed as a comma or as a point, anything
// else is dropped (0).
inline char16_t LimitationSaisie(char16_t k)
{
    if (k >= u'0' && k <= u'9')
        return k;
    if (k == 8)
        return 8;
    if (k == u'.' || k == u',')
        return u',';
    return 0;
}

// What a paste or a drop may leave in a numeric box: what typing can give,
// digits and one decimal comma (a point becomes one), with a leading minus
// where the box takes negative values; blanks around it are dropped. A text
// that is not a number yet ("", "-", "2,") is one still being typed.
class ValidateurSaisie : public QValidator {
public:
    explicit ValidateurSaisie(bool negatif, QObject *parent = nullptr)
        : QValidator(parent), m_negatif(negatif)
    {
    }

    State validate(QString &texte, int &position) const override
    {
        const QString net = texte.trimmed();
        if (net.size() != texte.size()) {
            position = std::min<int>(position, static_cast<int>(net.size()));
            texte = net;
        }
        texte.replace(QLatin1Char('.'), QLatin1Char(','));
        bool virgule = false;
        for (qsizetype i = 0; i < texte.size(); ++i) {
            const char16_t c = texte[i].unicode();
            if (c == u',' && !virgule)
                virgule = true;
            else if (!(c >= u'0' && c <= u'9') && !(c == u'-' && m_negatif && i == 0))
                return Invalid;
        }
        return readNumber(texte) ? Acceptable : Intermediate;
    }

private:
    bool m_negatif;
};

// The values a numeric box accepts, and how the user is told.
struct Plage {
    double min;
    double max;
    bool minExclu; // a speed must be above 0
    const char *texte;

    bool contient(std::optional<double> v) const
    {
        return v && (minExclu ? *v > min : *v >= min) && *v <= max;
    }
};

inline constexpr Plage kPlageOuverture{0.5, 128, false, "un nombre entre 0,5 et 128"};
inline constexpr Plage kPlageFocale{1, 5000, false, "un nombre entre 1 et 5000 (mm)"};
inline constexpr Plage kPlageVitesse{0, 1e6, true,
                                     "un nombre plus grand que 0, au plus 1 000 000 (1/s)"};
inline constexpr Plage kPlageIso{1, 1e7, false, "un nombre entre 1 et 10 000 000"};

} // namespace kavel
