// The explorer: a restoration's choice (Wiener's k, the inverse filter's threshold, the regions
// a structured-noise removal zeroes) changed on the picture, and the result made again with the
// real tool once the student has chosen. i_view32.exe --explorar RESULT opens it alone; the
// viewer's "Explorar …" entry opens it for the result it shows.
//
// What the windows share is here: the entry, the picture drawn from a restoration, the worker
// that draws the latest request only, and the tool run that makes the result again.
#pragma once

#include "explorable.h"
#include "services.h"

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QWidget;

namespace viewer {

inline constexpr const char *kExploreOption = "--explorar";

// The viewer's entry for a result whose last line is `lastLine`: "Explorar k…", "Explorar
// umbral…", "Explorar regiones…", or empty for a result with nothing to explore.
QString exploreEntry(const QString &lastLine);

// The explorer's window for `result` (named `name` in messages), its tool runs going through
// `starter`; null with the reason in `error` when it cannot be explored.
QWidget *explorerFor(const std::filesystem::path &result, const QString &name,
                     platform::ProcessStarter &starter, QString *error);

// `grey` (8-bit) averaged over square blocks of whole pixels, down to no less than twice
// `size` either way: Qt's smooth scaling works on 32-bit pixels, four times a 12-megapixel
// picture's memory, and needs no more than this to draw it at `size`.
QImage boxReduced(const QImage &grey, QSize size);

// A picture drawn on a worker, with its PSNR against the truth when there is one.
struct Drawn
{
    QImage picture;
    std::optional<double> psnr;
    bool whole = false; // the whole image, not a preview
    double value = 0.0; // the value it was drawn with, for a method that asks for one
};

// The whole picture of `restored`, rounded to the 8 bits the tool writes, and its PSNR against
// `truth` when there is one.
Drawn drawnWhole(const img::Image &restored, const restore::Truth *truth);

// Draws on a worker what was asked last: a request made while one is drawn replaces any that
// waits, so a slider dragged quickly costs the last position only.
class LatestDrawing : public QObject
{
    Q_OBJECT

public:
    explicit LatestDrawing(QObject *parent = nullptr);
    ~LatestDrawing() override;
    void request(std::function<Drawn()> draw);
    bool busy() const { return m_watcher.isRunning() || m_waiting; }

signals:
    void drawn(const viewer::Drawn &picture);

private:
    void finished();

    QFutureWatcher<Drawn> m_watcher;
    std::function<Drawn()> m_waiting;
};

// Makes `result`'s file again with its own tool, run directly as the menu's batch line runs it
// (its program and arguments from the tools' table, in the result's folder), `answers` typed in
// its console. `done` gets an empty text when it has ended well, or why it failed; it is
// called only while `receiver` lives and the caller keeps what comes back (null when it did not
// start).
platform::Started remake(platform::ProcessStarter &starter, const report::Explorable &result,
                         const QByteArray &answers, QObject *receiver,
                         std::function<void(const QString &)> done);

// Says in `status`, and aloud, how the tool's run ended: `done` when it ended well, its failure
// otherwise, which a message box repeats. True when it ended well.
bool sayRemade(QWidget *window, QLabel *status, const report::Explorable &result,
               const QString &failure, const QString &done);

// The explorers' widgets, each named for a screen reader: a button by its text without the
// access-key mark, a label by `name`, the picture focusable so that its name is heard.
QPushButton *namedButton(const QString &text);
QLabel *namedLabel(const QString &name);
QLabel *pictureLabel(const QString &name);
// Shows `picture` in `label`, fitted to it, sharp on a screen that scales.
void showPicture(QLabel *label, const QImage &picture, Qt::TransformationMode mode);

} // namespace viewer
