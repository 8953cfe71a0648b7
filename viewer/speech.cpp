// The viewer's words for a screen reader.
#include "speech.h"

#include "announce.h"
#include "readouts.h"

#include <QWidget>

namespace viewer {

void speak(QWidget *window, const QString &text)
{
    QWidget *hearer = window->focusWidget() ? window->focusWidget() : window;
    // Kept where "where am I" finds it; said at once by the announcement.
    hearer->setAccessibleDescription(text);
    platform::announce(window, text);
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
