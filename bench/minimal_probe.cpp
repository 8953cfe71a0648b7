// The floor for start-up: the smallest Qt Widgets program that shows a window, printing
// "painted" on its first paint as startup_probe does.
#include <QApplication>
#include <QLabel>
#include <cstdio>

namespace {

class Window : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QLabel::paintEvent(event);
        if (!m_painted) {
            m_painted = true;
            std::puts("painted");
            std::fflush(stdout);
            QCoreApplication::quit();
        }
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Window window(QStringLiteral("Tavelio"));
    window.resize(433, 433);
    window.show();
    return application.exec();
}
