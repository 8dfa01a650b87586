#pragma once

#include <QString>

namespace tarnwick {

// The fuel profile under construction. Its components are filled in by the profile builder.
struct FuelProfile {
    QString name;
};

} // namespace tarnwick
