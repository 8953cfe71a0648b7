#include "filecommands.h"

#include "services.h"
#include "settings.h"

#include <cmath>

namespace app {

namespace {

struct Key
{
    const char *name;
    double fallback;
};
constexpr Key kPlacementKeys[] = {
    {"MainLeft", 1000},
    {"MainTop", 1000},
    {"MainWidth", 6500},
    {"MainHeight", 6500},
};

} // namespace

std::optional<double> parseTwips(const QString &text)
{
    QString number = text.trimmed();
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return double(float(value)); // the placement is single precision
}

QString formatTwips(double twips)
{
    return QString::number(float(twips), 'g', 9);
}

QRectF readPlacement()
{
    double values[4];
    for (int i = 0; i < 4; ++i) {
        const QString stored
            = platform::GetSetting(platform::kAppTitle, kSettingsSection,
                                   QLatin1String(kPlacementKeys[i].name), QString());
        values[i] = parseTwips(stored).value_or(kPlacementKeys[i].fallback);
    }
    return QRectF(values[0], values[1], values[2], values[3]);
}

void savePlacement(const QRectF &twips)
{
    const double values[4] = {twips.left(), twips.top(), twips.width(), twips.height()};
    for (int i = 0; i < 4; ++i) {
        platform::SaveSetting(platform::kAppTitle, kSettingsSection,
                              QLatin1String(kPlacementKeys[i].name), formatTwips(values[i]));
    }
}

bool windowPositionKnown(const QString &platformName)
{
    return !platformName.startsWith(QLatin1String("wayland"));
}

QRectF placementToSave(const QRectF &shown, const QRectF &stored, bool positionKnown)
{
    return positionKnown ? shown : QRectF(stored.topLeft(), shown.size());
}

} // namespace app
