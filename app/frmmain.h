// frmMain: the one working window of Tavelio.
#pragma once

#include "batchrunner.h"
#include "dospath.h"
#include "espera.h"
#include "menus.h"
#include "operations.h"
#include "resultviewer.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;

namespace app {

class CaptionButton;
class OpenDialog;

// What the window needs from outside; tests pass fakes.
struct MainServices
{
    platform::ProcessStarter &processes;
    platform::MessageBoxes &messages;
    OpenDialog &openDialog;
    dos::Drives drives;
    // Makes the About box the first time "Acerca de Tavelio" is chosen.
    std::function<std::unique_ptr<QWidget>()> createAboutBox;
};

class frmMain : public QMainWindow, private ops::OperationHost
{
    Q_OBJECT

public:
    explicit frmMain(MainServices services);
    ~frmMain() override;

    // The pause the chained operations use between their two steps.
    bool Espera(double segundos) { return m_pauses.Espera(segundos); }

    const MethodState &methods() const { return m_methods; }
    QWidget *aboutBox() const { return m_about.get(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void createStatusBar();
    void Form_Load();
    void Form_Unload();

    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void Acerca_Click();
    void Command1_Click();
    void Command2_Click();
    void showResult(const ShowAction &action);

    // Loads Image1 from a DOS name; an empty name clears it. False, reported, when the file
    // is not a picture.
    bool loadPicture(const QString &dosName);
    void applyPlacement();
    void connectEntry(const MenuEntry &entry, QAction *action);

    // ops::OperationHost
    void setExplanation(const QString &text) override;
    platform::Started runBatch(const QString &fileName, const QString &commandLine,
                               platform::WindowStyle style) override;
    ops::FirstStep waitForFirstStep(double seconds, platform::StartedProgram &first,
                                    const QString &tool) override;
    void logNotRun(const QString &commandLine, const QString &why) override;
    void setMethod(ops::MethodKind kind, const QString &value) override;

    MainServices m_services;
    BatchRunner m_runner;
    Pauses m_pauses;
    MethodState m_methods;
    QString m_dialogFileName; // the DOS name the open dialog holds between uses
    QRectF m_placement; // twips of the outer frame, as loaded
    bool m_placementFitted = false; // refitted to the window manager's frame
    double m_dpi = 96.0;

    // The controls keep the names the teaching material uses.
    CaptionButton *Command1 = nullptr; // "Mostrar imagen resturada": shows the restored image
    CaptionButton *Command2 = nullptr; // "Mostrar Imagen Distorsionada": the distorted one
    QLabel *Label1 = nullptr; // the explanatory text of the last operation
    QLabel *Image1 = nullptr; // the opened bitmap
    QLabel *Image2 = nullptr; // the arrow between the picture and the buttons
    QLabel *m_statePanel = nullptr; // the status bar's text panel
    int m_waits = 0; // waits for a first step past its pause, one inside another
    QAction *mnuFileExit = nullptr; // Archivo > Salir
    std::unique_ptr<QWidget> m_about;
};

} // namespace app
