// The main window: status bar, ROM tree, the "General Area" buttons and the
// "ROM Area" section editor, the menu with its commands. Opening a ROM from
// the tree runs it in an output window; the main window stays usable while
// the run goes on.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "browser/section_editor.h"
#include "core/machine_mode.h"
#include "gui/qt_gl_surface.h"

class OutputWindow;
class QAction;
class QLabel;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QTreeWidgetItem;
class RomTreeWidget;
class SaveStateSlots;
class SoundBackend;

constexpr int MAIN_WINDOW_WIDTH = 600;
constexpr int MAIN_WINDOW_HEIGHT = 440;
// Right edges of the first two status-bar parts.
constexpr int STATUS_PART_0_RIGHT = 60;
constexpr int STATUS_PART_1_RIGHT = 120;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `sound` plays the runs' audio (may be null).
    explicit MainWindow(SoundBackend* sound = nullptr);
    ~MainWindow() override;

    // False when the window lacks one of its tree pictures.
    bool created() const;

    // The checks of the two options from their flags.
    void showOptions();
    // Rebuilds the ROM tree from the settings file ("Refresh ROM list").
    void refreshRomList();
    // Opens the ROM of a tree node and runs it in an output window: only while
    // no emulation runs and for ROM entries. True when a run was started.
    bool openRomOfNode(QTreeWidgetItem* item);
    // Opens the image at `path` as a double click on its tree entry would:
    // under its internal name (else its file name), with the section of
    // that name when orvex.ini has one. True when a run was started.
    bool openRomFile(const std::string& path);

    // What the command line chose for this program's runs.
    void setRunChoices(std::optional<MachineMode> machineMode, bool fullScreen);

    // The running output window; null between runs.
    OutputWindow* outputWindow() const;
    RomTreeWidget* romTree() const { return tree_; }
    QPlainTextEdit* sectionEditor() const { return editor_; }
    QLabel* sectionLabel() const { return label_; }
    QString statusText(int part) const;
    // A menu command by its id; null for unknown ids.
    QAction* action(int id) const;

  public slots:
    // The commands of the menu, by id.
    void runCommand(int id);
    // Sets the text of status-bar part 0, 1 or 2.
    void setStatusPart(int part, const QString& text);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildMenu();
    void buildChildren();
    void placeChildren();
    void loadSection(const char* name, bool romEntry);
    void saveSection();
    void sectionTextChanged();
    void treeSelectionChanged(QTreeWidgetItem* item);
    bool openRom(const std::string& name, const std::string& path);
    void runStopped();
    void showRunCommands();
    void exitProgram();
    void showSectionState();

    SoundBackend* sound_;
    SectionEditor sectionState_;
    QPointer<OutputWindow> output_;
    // The OpenGL surface of the runs' graphics tasks; made with the first
    // output window and kept for the runs after it.
    std::unique_ptr<QtGlSurface> glSurface_;
    // A controller choice stored during a run, for the slots after it.
    SaveStateSlots* stateSlots_ = nullptr;
    bool controllerChoiceWaiting_ = false;
    bool exiting_ = false;
    std::optional<MachineMode> machineMode_;
    bool fullScreen_ = false;

    std::array<QLabel*, 3> statusParts_{};
    RomTreeWidget* tree_ = nullptr;
    QGroupBox* generalArea_ = nullptr;
    QGroupBox* romArea_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QPushButton* editGeneralButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QLabel* label_ = nullptr;
    QPlainTextEdit* editor_ = nullptr;
    QShortcut* openShortcut_ = nullptr;
    QList<QAction*> actions_;
};

// The window's title: "Orvex " and the program's version text.
QString mainWindowTitle();
