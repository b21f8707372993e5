#pragma once

#include <QtGlobal>

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

} // namespace kavel
