#include "gui/controller_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/log.h"
#include "gui/gui_ids.h"
#include "gui/plugin_actions.h"
#include "plugins/controller_plugin.h"
#include "plugins/orvex_plugin.h"
#include "plugins/plugin_list.h"
#include "system/settings_values.h"

namespace {

QPushButton* button(const QString& text, int id, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    setOrvexId(b, id);
    b->setAutoDefault(false);
    return b;
}

// The entry's file name, or "" when it names none.
std::string fileOfEntry(const QString& entry) {
    std::string file;
    return pluginFileFromEntry(entry.toStdString(), file) ? file : std::string();
}

} // namespace

ControllerDialog::ControllerDialog(Apply apply, bool startFromStoredChoice, QWidget* parent)
    : QDialog(parent), apply_(apply) {
    setOrvexId(this, gui_id::CONTROLLER_DIALOG);
    setWindowTitle("Configure Controllers");

    for (int i = 0; i < CONTROLLER_SLOT_COUNT; ++i) {
        Choice& choice = choices_[i];
        if (startFromStoredChoice) {
            choice.enabled = readControllerEnabled(i + 1);
            choice.file = choice.enabled ? readControllerPlugin(i + 1) : std::string();
        } else {
            const CControllerPlugin& slot = controllerSlots[i];
            choice.enabled = slot.enabled != 0;
            choice.file = choice.enabled ? std::string(slot.getName()) : std::string();
        }
    }

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Choose a controller:", this));
    controllerList_ = new QComboBox(this);
    setOrvexId(controllerList_, gui_id::CONTROLLER_LIST);
    for (int n = 1; n <= CONTROLLER_SLOT_COUNT; ++n)
        controllerList_->addItem(QStringLiteral("Controller %1").arg(n));
    top->addWidget(controllerList_, 1);
    layout->addLayout(top);

    auto* controllerGroup = new QGroupBox("Controller", this);
    auto* controllerRows = new QVBoxLayout(controllerGroup);
    auto* pluginGroup = new QGroupBox("Plugin", controllerGroup);
    auto* pluginRows = new QGridLayout(pluginGroup);
    pluginList_ = new QComboBox(pluginGroup);
    setOrvexId(pluginList_, gui_id::CONTROLLER_PLUGIN_LIST);
    about_ = button("About Plugin", gui_id::CONTROLLER_ABOUT, pluginGroup);
    configure_ = button("Configure Plugin", gui_id::CONTROLLER_CONFIGURE, pluginGroup);
    pluginRows->addWidget(pluginList_, 0, 0, 1, 2);
    pluginRows->addWidget(about_, 1, 0);
    pluginRows->addWidget(configure_, 1, 1);
    controllerRows->addWidget(pluginGroup);

    enabled_ = new QCheckBox("Is Enabled", controllerGroup);
    setOrvexId(enabled_, gui_id::CONTROLLER_ENABLED);
    auto* mempack = new QCheckBox("Has a Mempack", controllerGroup);
    setOrvexId(mempack, gui_id::CONTROLLER_MEMPACK);
    mempack->setEnabled(false);
    auto* rumble = new QCheckBox("Has a Rumble Pack", controllerGroup);
    setOrvexId(rumble, gui_id::CONTROLLER_RUMBLE_PACK);
    rumble->setEnabled(false);
    controllerRows->addWidget(enabled_);
    controllerRows->addWidget(mempack);
    controllerRows->addWidget(rumble);

    configurationGroup_ = new QGroupBox("Plugin Configuration", controllerGroup);
    setOrvexId(configurationGroup_, gui_id::CONTROLLER_PLUGIN_CONFIGURATION);
    configurationGroup_->setMinimumHeight(80);
    controllerRows->addWidget(configurationGroup_, 1);
    layout->addWidget(controllerGroup, 1);

    if (apply_ == Apply::AtNextRun) {
        auto* note = new QLabel("An emulation is running: \"OK\" stores this choice now; it "
                                "takes effect when the next ROM is started.",
                                this);
        note->setObjectName("runningNote");
        note->setWordWrap(true);
        layout->addWidget(note);
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    setOrvexId(ok, gui_id::OK);
    setOrvexId(cancel, gui_id::CANCEL);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ControllerDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ControllerDialog::reject);
    layout->addWidget(buttons);

    connect(controllerList_, &QComboBox::currentIndexChanged, this,
            [this](int index) { showController(index); });
    connect(pluginList_, &QComboBox::activated, this, [this] { pluginSelected(); });
    connect(enabled_, &QCheckBox::clicked, this, [this] {
        Choice& choice = choices_[controllerList_->currentIndex()];
        choice.enabled = !choice.enabled;
    });
    connect(about_, &QPushButton::clicked, this,
            [this] { showInfoOfPluginEntry(pluginList_->currentText()); });
    connect(configure_, &QPushButton::clicked, this,
            [this] { showConfigOfPluginEntry(pluginList_->currentText(), configurationGroup_); });

    showController(0);
}

void ControllerDialog::showController(int index) {
    if (index < 0 || index >= CONTROLLER_SLOT_COUNT) return;
    Choice& choice = choices_[index];
    const PluginList plugins =
        fillPluginList(ORVEX_PLUGIN_TYPE_CONTROLLER, choice.enabled ? choice.file : "");
    {
        const QSignalBlocker blocker(pluginList_);
        pluginList_->clear();
        for (const std::string& entry : plugins.entries)
            pluginList_->addItem(QString::fromStdString(entry));
        pluginList_->setCurrentIndex(plugins.selected);
    }
    const bool havePlugins = plugins.count > 0;
    about_->setEnabled(havePlugins);
    configure_->setEnabled(havePlugins);
    // Without a plug-in the controller cannot be enabled; the box shows it.
    if (!havePlugins) choice.enabled = false;
    enabled_->setChecked(choice.enabled);
    choice.file = fileOfEntry(pluginList_->currentText());
}

void ControllerDialog::pluginSelected() {
    const int index = controllerList_->currentIndex();
    if (index < 0 || index >= CONTROLLER_SLOT_COUNT) return;
    choices_[index].file = fileOfEntry(pluginList_->currentText());
}

void ControllerDialog::applyToSlots() {
    for (int number = 1; number <= CONTROLLER_SLOT_COUNT; ++number) {
        const Choice& choice = choices_[number - 1];
        CControllerPlugin& slot = controllerSlots[number - 1];
        slot.enabled = choice.enabled;
        if (slot.enabled) {
            if (!slot.open(choice.file.c_str())) {
                showMessage(0x10,
                            "ERROR: Couldn't load plugin for controller #%i!!\nThe controller "
                            "will be disabled..",
                            number);
                slot.enabled = 0;
            } else {
                writeControllerPlugin(number, choice.file);
                if (!slot.lookUpEntryPoints()) {
                    showMessage(0x10, "ERROR: Couldn't find all functions in plugin '%s'..",
                                choice.file.c_str());
                    slot.enabled = 0;
                }
            }
        }
        writeControllerEnabled(number, slot.enabled != 0);
    }
}

void ControllerDialog::storeForNextRun() {
    // The same checks as loading into a slot, on a library of the dialog's own.
    for (int number = 1; number <= CONTROLLER_SLOT_COUNT; ++number) {
        const Choice& choice = choices_[number - 1];
        bool enabled = choice.enabled;
        if (enabled) {
            CControllerPlugin probe;
            if (!probe.open(choice.file.c_str())) {
                showMessage(0x10,
                            "ERROR: Couldn't load plugin for controller #%i!!\nThe controller "
                            "will be disabled..",
                            number);
                enabled = false;
            } else {
                writeControllerPlugin(number, choice.file);
                if (!probe.lookUpEntryPoints()) {
                    showMessage(0x10, "ERROR: Couldn't find all functions in plugin '%s'..",
                                choice.file.c_str());
                    enabled = false;
                }
            }
        }
        writeControllerEnabled(number, enabled);
    }
}

void ControllerDialog::accept() {
    if (apply_ == Apply::Now)
        applyToSlots();
    else
        storeForNextRun();
    done(gui_id::OK);
}

void ControllerDialog::reject() {
    done(gui_id::CANCEL);
}
