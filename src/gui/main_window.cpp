#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>

#include "base/log.h"
#include "browser/ini_file.h"
#include "browser/rom_tree.h"
#include "core/machine.h"
#include "core/rom_file.h"
#include "gui/about_dialog.h"
#include "gui/choose_plugins_dialog.h"
#include "gui/controller_dialog.h"
#include "gui/gui_ids.h"
#include "gui/output_window.h"
#include "gui/pictures.h"
#include "gui/rom_tree_widget.h"
#include "gui/save_state_slots.h"
#include "hle/hle_table.h"
#include "plugins/controller_plugin.h"
#include "system/machine_choice.h"
#include "system/rom_loading.h"
#include "system/settings_values.h"
#include "system/speed_limiter.h"
#include "video/frame_buffer_display.h"

namespace {

// The one-line program credit of status-bar part 2 until the first status
// message.
constexpr const char* PROGRAM_CREDIT = "Orvex, a Nintendo 64 emulator";

QFont childFont() {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Sans Serif"});
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

QString mainWindowTitle() {
    return QStringLiteral("Orvex %1 (built %2)").arg(ORVEX_VERSION, __DATE__);
}

MainWindow::MainWindow(SoundBackend* sound) : sound_(sound) {
    setWindowTitle(mainWindowTitle());
    setWindowIcon(programIcon());
    setFixedSize(MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT);
    buildMenu();
    buildChildren();
    showRunCommands();

    const WindowPosition position = readMainWindowPosition();
    if (position.left != CW_USEDEFAULT && position.top != CW_USEDEFAULT)
        move(position.left, position.top);
}

MainWindow::~MainWindow() {
    // A run still going ends with its window.
    delete output_.data();
}

bool MainWindow::created() const {
    return tree_->hasAllImages();
}

void MainWindow::buildMenu() {
    auto add = [this](QMenu* menu, const QString& text, int id) {
        QAction* a = menu->addAction(text);
        setOrvexId(a, id);
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_.append(a);
        return a;
    };
    QMenu* file = menuBar()->addMenu("&File");
    add(file, "&Open ROM File\tCtrl+O", gui_id::OPEN_ROM_FILE);
    file->addSeparator();
    add(file, "E&xit", gui_id::EXIT);

    QMenu* options = menuBar()->addMenu("&Options");
    add(options, "Nice FB graphics..", gui_id::NICE_FRAME_BUFFER)->setCheckable(true);
    add(options, "Utilize HLE of CPU functions", gui_id::HLE_CPU_FUNCTIONS)->setCheckable(true);
    add(options, "Complete machine", gui_id::COMPLETE_MACHINE)->setCheckable(true);
    add(options, "Limit speed", gui_id::LIMIT_SPEED)->setCheckable(true);
    options->addSeparator();
    add(options, "Pause\tPause", gui_id::PAUSE)->setCheckable(true);
    add(options, "Reset", gui_id::RESET);
    options->addSeparator();
    add(options, "Choose Plugins", gui_id::CHOOSE_PLUGINS);
    add(options, "Configure Graphics", gui_id::CONFIGURE_GRAPHICS)->setEnabled(false);
    add(options, "Configure Sound", gui_id::CONFIGURE_SOUND)->setEnabled(false);
    add(options, "Configure Controllers", gui_id::CONFIGURE_CONTROLLERS);

    stateSlots_ =
        new SaveStateSlots([this] { return output_ ? output_->session() : nullptr; }, this);
    menuBar()->addMenu(stateSlots_->menu());

    QMenu* help = menuBar()->addMenu("&Help");
    add(help, "&About Orvex", gui_id::ABOUT);

    // The accelerator: only the main window's own event handling sees it, not
    // while an emulation run goes on (as with the menu's shortcut text).
    openShortcut_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
    setOrvexId(openShortcut_, gui_id::ACCELERATORS);
    connect(openShortcut_, &QShortcut::activated, this,
            [this] { runCommand(gui_id::OPEN_ROM_FILE); });
}

void MainWindow::buildChildren() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    const QString initial[3] = {"CPU: N/A", "GFX: N/A", PROGRAM_CREDIT};
    for (int part = 0; part < 3; ++part) {
        statusParts_[part] = new QLabel(initial[part], bar);
        statusParts_[part]->setObjectName(QStringLiteral("statusPart%1").arg(part));
    }
    statusParts_[0]->setFixedWidth(STATUS_PART_0_RIGHT);
    statusParts_[1]->setFixedWidth(STATUS_PART_1_RIGHT - STATUS_PART_0_RIGHT);
    bar->addWidget(statusParts_[0]);
    bar->addWidget(statusParts_[1]);
    bar->addWidget(statusParts_[2], 1);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    const QFont font = childFont();

    tree_ = new RomTreeWidget(client);
    generalArea_ = new QGroupBox("General Area", client);
    refreshButton_ = new QPushButton("Refresh ROM list", client);
    editGeneralButton_ = new QPushButton("Edit General Settings", client);
    saveButton_ = new QPushButton("Save settings", client);
    romArea_ = new QGroupBox("ROM Area", client);
    label_ = new QLabel(NO_SECTION_LOADED, client);
    label_->setObjectName("sectionLabel");
    label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    editor_ = new QPlainTextEdit(client);
    editor_->setObjectName("sectionEditor");
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    refreshButton_->setObjectName("refreshButton");
    editGeneralButton_->setObjectName("editGeneralButton");
    saveButton_->setObjectName("saveButton");
    for (QWidget* w : {static_cast<QWidget*>(generalArea_), static_cast<QWidget*>(refreshButton_),
                       static_cast<QWidget*>(editGeneralButton_),
                       static_cast<QWidget*>(saveButton_), static_cast<QWidget*>(romArea_),
                       static_cast<QWidget*>(label_), static_cast<QWidget*>(editor_)})
        w->setFont(font);
    // The buttons sit on top of their group box, not inside it.
    refreshButton_->raise();
    editGeneralButton_->raise();
    saveButton_->raise();

    connect(refreshButton_, &QPushButton::clicked, this, &MainWindow::refreshRomList);
    connect(editGeneralButton_, &QPushButton::clicked, this,
            [this] { loadSection(INI_SETTINGS_SECTION, false); });
    connect(saveButton_, &QPushButton::clicked, this, &MainWindow::saveSection);
    connect(editor_, &QPlainTextEdit::textChanged, this, &MainWindow::sectionTextChanged);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { treeSelectionChanged(item); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openRomOfNode(item); });
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeChildren();
}

void MainWindow::placeChildren() {
    // Client coordinates below the menu; the status bar is outside the
    // central widget, so "down to the status bar" is the central height.
    const int width = centralWidget()->width();
    const int height = centralWidget()->height();
    tree_->setGeometry(0, 0, 200, height);
    generalArea_->setGeometry(201, 1, width - 201, 50);
    refreshButton_->setGeometry(208, 16, 100, 25);
    editGeneralButton_->setGeometry(315, 16, 115, 25);
    saveButton_->setGeometry(437, 16, 80, 25);
    romArea_->setGeometry(201, 53, width - 201, 51);
    label_->setGeometry(201, 106, 391, 17);
    // Ends one pixel above the status bar.
    editor_->setGeometry(201, 123, width - 201, std::max(0, height - 124));
}

OutputWindow* MainWindow::outputWindow() const {
    return output_.data();
}

QAction* MainWindow::action(int id) const {
    for (QAction* a : actions_)
        if (a->property(ORVEX_ID_PROPERTY).toInt() == id) return a;
    return nullptr;
}

QString MainWindow::statusText(int part) const {
    return part >= 0 && part < 3 ? statusParts_[part]->text() : QString();
}

void MainWindow::setStatusPart(int part, const QString& text) {
    if (part >= 0 && part < 3) statusParts_[part]->setText(text);
}

void MainWindow::showOptions() {
    action(gui_id::NICE_FRAME_BUFFER)->setChecked(niceFrameBuffer);
    action(gui_id::HLE_CPU_FUNCTIONS)->setChecked(hleEnabled);
    action(gui_id::COMPLETE_MACHINE)->setChecked(completeMachineOption);
    action(gui_id::LIMIT_SPEED)->setChecked(limitSpeed);
}

void MainWindow::showRunCommands() {
    const bool running = output_ != nullptr;
    action(gui_id::PAUSE)->setEnabled(running);
    action(gui_id::PAUSE)->setChecked(running && output_->paused());
    action(gui_id::RESET)->setEnabled(running);
}

void MainWindow::setRunChoices(std::optional<MachineMode> machineMode, bool fullScreen) {
    machineMode_ = machineMode;
    fullScreen_ = fullScreen;
}

void MainWindow::refreshRomList() {
    buildRomTree(*tree_);
    // Every directory shows its ROMs at once.
    tree_->expandAll();
}

void MainWindow::runCommand(int id) {
    switch (id) {
    case gui_id::EXIT:
        exitProgram();
        break;
    case gui_id::ABOUT: {
        AboutDialog dialog;
        dialog.exec();
        break;
    }
    case gui_id::OPEN_ROM_FILE:
        showMessage(0, "Sorry, haven't done this one yet.\nPlease add your directories that\n"
                       "contain ROM files to the .ini file.");
        break;
    case gui_id::NICE_FRAME_BUFFER:
        niceFrameBuffer = !niceFrameBuffer;
        showOptions();
        break;
    case gui_id::HLE_CPU_FUNCTIONS:
        hleEnabled = !hleEnabled;
        showOptions();
        showMessage(0, "This change will not do anything until the next ROM you load..");
        break;
    case gui_id::COMPLETE_MACHINE:
        // Read when a run starts: a run under way keeps its machine.
        completeMachineOption = !completeMachineOption;
        showOptions();
        break;
    case gui_id::LIMIT_SPEED:
        limitSpeed = !limitSpeed;
        showOptions();
        if (output_) output_->setSpeedLimited(limitSpeed);
        break;
    case gui_id::PAUSE:
        if (output_) output_->setPaused(!output_->paused());
        showRunCommands();
        break;
    case gui_id::RESET:
        if (output_) output_->resetRun();
        showRunCommands();
        break;
    case gui_id::CONFIGURE_CONTROLLERS: {
        // The slots stay as they are while the CPU thread polls them.
        const bool running = output_ != nullptr;
        ControllerDialog dialog(running ? ControllerDialog::Apply::AtNextRun
                                        : ControllerDialog::Apply::Now,
                                controllerChoiceWaiting_);
        if (dialog.exec() == gui_id::OK) controllerChoiceWaiting_ = running;
        break;
    }
    case gui_id::CHOOSE_PLUGINS: {
        ChoosePluginsDialog dialog;
        dialog.exec();
        break;
    }
    default:
        break;
    }
}

void MainWindow::showSectionState() {
    label_->setText(QString::fromStdString(sectionState_.label()));
}

void MainWindow::loadSection(const char* name, bool romEntry) {
    if (sectionState_.mustAskToSave()) {
        const int answer = showMessage(0x34, "%s", sectionState_.saveQuestion().c_str());
        if (answer == 6) saveSection();
    }
    const std::string text = sectionState_.loadSection(theIni, name, romEntry);
    {
        const QSignalBlocker blocker(editor_);
        editor_->setPlainText(QString::fromLocal8Bit(text.c_str()));
    }
    showSectionState();
}

void MainWindow::saveSection() {
    if (!sectionState_.sectionModified()) return;
    sectionState_.save(theIni, editor_->toPlainText().toLocal8Bit().toStdString());
    showSectionState();
}

void MainWindow::sectionTextChanged() {
    sectionState_.textEdited();
    showSectionState();
}

void MainWindow::treeSelectionChanged(QTreeWidgetItem* item) {
    // Directory nodes change nothing.
    if (RomEntry* entry = RomTreeWidget::entryOf(item)) loadSection(entry->text, true);
}

bool MainWindow::openRomOfNode(QTreeWidgetItem* item) {
    RomEntry* entry = RomTreeWidget::entryOf(item);
    if (!entry) return false;
    // The entry may go with a tree rebuilt while its section is saved.
    return openRom(entry->text, entry->path);
}

bool MainWindow::openRomFile(const std::string& path) {
    const QByteArray fileName =
        QFileInfo(QString::fromLocal8Bit(path.c_str())).fileName().toLocal8Bit();
    return openRom(romEntryText(path, fileName.constData()), path);
}

bool MainWindow::openRom(const std::string& name, const std::string& path) {
    // Only one run at a time: not while one goes on, nor while the window of
    // one that halted is still open.
    if (!isEmulationHalted() || output_) return false;
    loadSection(name.c_str(), true);
    if (!loadRomFile(path.c_str())) return false;

    std::string title = name;
    theIni.readValue(name.c_str(), "title", title);

    // The surface is made here, on the user-interface thread; its context is
    // made on the CPU thread by the run's first graphics task.
    if (!glSurface_) glSurface_ = std::make_unique<QtGlSurface>();
    OutputDevices devices;
    devices.sound = sound_;
    devices.glSurface = glSurface_.get();
    devices.logDirectory = logDirectory;
    devices.romPath = path;
    devices.machineMode = machineMode_;
    devices.fullScreen = fullScreen_;
    auto* window = new OutputWindow(QString::fromLocal8Bit(title.c_str()), devices);
    glSurface_->setOutputWindow(window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &OutputWindow::emulationStopped, this, &MainWindow::runStopped);
    connect(window, &OutputWindow::pauseChanged, this, [this] { showRunCommands(); });
    if (!window->runOutputWindow()) {
        delete window;
        theRom.freeImage();
        return false;
    }
    output_ = window;
    connect(window, &OutputWindow::stateCommand, stateSlots_, &SaveStateSlots::runCommand);
    openShortcut_->setEnabled(false);
    showRunCommands();
    return true;
}

void MainWindow::runStopped() {
    output_ = nullptr;
    openShortcut_->setEnabled(true);
    showRunCommands();
    // A controller choice made during the run reaches the slots now.
    if (controllerChoiceWaiting_) {
        controllerChoiceWaiting_ = false;
        loadControllerPlugins();
    }
}

void MainWindow::exitProgram() {
    // Leaves without storing the options and the window's position; a run
    // still going is stopped first (its window stores its own position).
    exiting_ = true;
    if (output_) output_->close();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (output_) output_->close();
    if (!exiting_) {
        writeOptions();
        const QPoint corner = frameGeometry().topLeft();
        writeMainWindowPosition(WindowPosition{corner.x(), corner.y()});
    }
    event->accept();
    QCoreApplication::exit(0);
}
