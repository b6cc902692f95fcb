#include "gui/choose_plugins_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/gui_ids.h"
#include "gui/plugin_actions.h"
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

// One group: its list filled with the plug-ins of `type`, and its two buttons,
// disabled when no plug-in of the type was found.
QComboBox* pluginGroup(QVBoxLayout* layout, QWidget* dialog, const QString& title, uint32_t type,
                       const std::string& current, int listId, int aboutId, int configureId) {
    auto* group = new QGroupBox(title, dialog);
    auto* list = new QComboBox(group);
    setOrvexId(list, listId);
    auto* about = button("About Plugin", aboutId, group);
    auto* configure = button("Configure Plugin", configureId, group);
    auto* rows = new QVBoxLayout(group);
    rows->addWidget(list);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(about);
    buttons->addWidget(configure);
    rows->addLayout(buttons);
    layout->addWidget(group);

    const PluginList plugins = fillPluginList(type, current);
    for (const std::string& entry : plugins.entries)
        list->addItem(QString::fromStdString(entry));
    list->setCurrentIndex(plugins.selected);
    if (plugins.count == 0) {
        about->setEnabled(false);
        configure->setEnabled(false);
    }
    QObject::connect(about, &QPushButton::clicked, dialog,
                     [list] { showInfoOfPluginEntry(list->currentText()); });
    QObject::connect(configure, &QPushButton::clicked, dialog,
                     [list, dialog] { showConfigOfPluginEntry(list->currentText(), dialog); });
    return list;
}

} // namespace

ChoosePluginsDialog::ChoosePluginsDialog(QWidget* parent) : QDialog(parent) {
    setOrvexId(this, gui_id::CHOOSE_PLUGINS_DIALOG);
    setWindowTitle("Choose Graphics & Sound Plugins");
    auto* layout = new QVBoxLayout(this);
    graphicsList_ = pluginGroup(layout, this, "Graphics Plugin", ORVEX_PLUGIN_TYPE_GRAPHICS,
                                readGraphicsPlugin(), gui_id::GRAPHICS_LIST, gui_id::GRAPHICS_ABOUT,
                                gui_id::GRAPHICS_CONFIGURE);
    soundList_ =
        pluginGroup(layout, this, "Sound Plugin", ORVEX_PLUGIN_TYPE_SOUND, readSoundPlugin(),
                    gui_id::SOUND_LIST, gui_id::SOUND_ABOUT, gui_id::SOUND_CONFIGURE);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    setOrvexId(ok, gui_id::OK);
    setOrvexId(cancel, gui_id::CANCEL);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChoosePluginsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChoosePluginsDialog::reject);
    layout->addWidget(buttons);
}

void ChoosePluginsDialog::accept() {
    std::string file;
    if (pluginFileFromEntry(graphicsList_->currentText().toStdString(), file))
        writeGraphicsPlugin(file);
    if (pluginFileFromEntry(soundList_->currentText().toStdString(), file)) writeSoundPlugin(file);
    done(gui_id::OK);
}

void ChoosePluginsDialog::reject() {
    done(gui_id::CANCEL);
}
