#include "captionbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace app {

namespace {

// The caption without its access-key marks ("&&" stands for one "&").
QString plainText(QString caption)
{
    caption.replace(QLatin1String("&&"), QLatin1String("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption;
}

} // namespace

CaptionButton::CaptionButton(const QString &caption, QWidget *parent)
    : QPushButton(plainText(caption), parent)
    , m_caption(caption)
{
}

void CaptionButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
    int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
        flags |= Qt::TextHideMnemonic;
    painter.drawItemText(rect().adjusted(margin, margin, -margin, -margin), flags, palette(),
                         isEnabled(), m_caption, QPalette::ButtonText);
}

} // namespace app
