// A push button whose caption wraps at word boundaries, as Windows buttons do: the show
// buttons are narrower than their captions.
//
// The caption's access key is drawn but not grabbed as a shortcut: "Mostrar Imagen
// &Distorsionada" shares its D with the menu "&Distorsionar", and as on Windows the menu bar
// takes Alt+D. (Qt would otherwise call the two ambiguous and give Alt+D to neither.)
#pragma once

#include <QPushButton>

namespace app {

class CaptionButton : public QPushButton
{
public:
    CaptionButton(const QString &caption, QWidget *parent);

    // The caption as designed, "&" marking the access key.
    const QString &caption() const { return m_caption; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
};

} // namespace app
