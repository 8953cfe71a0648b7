// The About box, Form1: the program's title, its authors, a portrait, and a button that starts
// the system-information program found through the registry.
//
// The main window makes one instance on the first "Acerca de Tavelio" and shows it modeless.
// "Aceptar" and the close button unload the window: the object stays, and the next show loads a
// fresh window at the designed size, wherever the window system places it.
#pragma once

#include "registry.h"
#include "services.h"

#include <QWidget>
#include <stdexcept>

class QFrame;
class QLabel;
class QPushButton;

namespace about {

// A registry value that fills the whole read buffer leaves no zero byte to end its text at.
// GetKeyValue raises this rather than guess where the text ends; StartSysInfo reports it as
// any other failure.
class UnterminatedValueError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class Form1 : public QWidget
{
    Q_OBJECT

public:
    // A top-level window with no owner: the main window stays usable and may cover it.
    Form1(platform::Registry &registry, platform::ProcessStarter &starter,
          platform::MessageBoxes &messages, QWidget *parent = nullptr);

    // Finds the system-information program through the registry and starts it without
    // waiting; on any failure shows the one message "La información del sistema no está
    // disponible en este momento".
    void StartSysInfo();

    // Reads the value `SubKeyRef` of the key `KeyName` below `KeyRoot` into `KeyVal`: text as
    // it is, a 32-bit number in decimal, any other type leaves `KeyVal` as it was. False, with
    // `KeyVal` emptied, when the key cannot be opened (write rights included) or the value
    // cannot be read. Raises UnterminatedValueError for 1024 bytes without a zero byte.
    bool GetKeyValue(platform::HKEY KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                     QString &KeyVal);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Drops the closed window, its place and size; the controls stay for the next one.
    void unloadWindow();
    static QSize designedSize();

    // Starts a program given by its DOS path; false when it names no executable file or the
    // start fails.
    bool startProgram(const QString &dosPath);

    platform::Registry &registry_;
    platform::ProcessStarter &starter_;
    platform::MessageBoxes &messages_;

    // The controls keep the names of the About box they come from, though some now hold
    // something else.
    QFrame *fraMainFrame; // the sunken frame around everything
    QPushButton *Command2; // "Info. del sistema...": starts the system-information program
    QPushButton *Command1; // "Aceptar": closes the box
    QLabel *picLogo; // the portrait
    QLabel *lblVersion; // the second author's name
    QLabel *lblPlatform; // the first author's name
    QLabel *lblCompanyProduct; // "Tavelio"
    QLabel *lblProductName; // "Realizado por: "
};

} // namespace about
