#include "catalogue/TextOrder.h"

#include <QLocale>

namespace tarnwick {

QCollator textOrder() {
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace tarnwick
