// The viewer's words for a screen reader.
#include "speech.h"

#include "readouts.h"

#include <QAccessible>
#include <QWidget>

namespace viewer {

void speak(QWidget *window, const QString &text)
{
    QWidget *hearer = window->focusWidget() ? window->focusWidget() : window;
    hearer->setAccessibleDescription(text);
    // Qt 6.4 sends no event for a new description, and a later Qt only for a changed one; the
    // same words said again (the same zoom twice) must be heard again.
    QAccessibleEvent changed(hearer, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(hearer, text);
    QAccessible::updateAccessibility(&announcement);
#endif
}

QString histogramSummary(const std::array<long, 256> &counts)
{
    int lowest = -1, highest = -1;
    double pixels = 0, sum = 0;
    for (int level = 0; level < 256; ++level) {
        const long count = counts[size_t(level)];
        if (count == 0)
            continue;
        if (lowest < 0)
            lowest = level;
        highest = level;
        pixels += double(count);
        sum += double(count) * level;
    }
    if (lowest < 0)
        return QStringLiteral("Histograma vacío");
    return QStringLiteral("Grises de %1 a %2, media %3")
        .arg(lowest)
        .arg(highest)
        .arg(picture::spanishNumber(sum / pixels, 1));
}

} // namespace viewer
