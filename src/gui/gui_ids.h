// Resource and command ids of the GUI. They name the menu items, dialogs,
// controls and pictures; the menu actions and dialog controls carry them as
// their "orvexId" property so that scripts and tests can find them.
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace gui_id {

// Menu and accelerator table.
constexpr int MENU = 109;
constexpr int ACCELERATORS = 109;
// Commands.
constexpr int EXIT = 105;
constexpr int ABOUT = 32771;
constexpr int OPEN_ROM_FILE = 32772;
constexpr int NICE_FRAME_BUFFER = 32795;
constexpr int HLE_CPU_FUNCTIONS = 32796;
constexpr int CONFIGURE_GRAPHICS = 32798;
constexpr int CONFIGURE_SOUND = 32799;
constexpr int CONFIGURE_CONTROLLERS = 32800;
constexpr int CHOOSE_PLUGINS = 32801;
constexpr int COMPLETE_MACHINE = 32802;
constexpr int LIMIT_SPEED = 32810;
constexpr int PAUSE = 32811;
constexpr int RESET = 32812;

// Dialogs.
constexpr int ABOUT_DIALOG = 103;
constexpr int CHOOSE_PLUGINS_DIALOG = 167;
constexpr int CONTROLLER_DIALOG = 168;

// Buttons every dialog has.
constexpr int OK = 1;
constexpr int CANCEL = 2;

// Dialog 167.
constexpr int GRAPHICS_LIST = 1084;
constexpr int SOUND_LIST = 1085;
constexpr int GRAPHICS_ABOUT = 1086;
constexpr int GRAPHICS_CONFIGURE = 1087;
constexpr int SOUND_ABOUT = 1088;
constexpr int SOUND_CONFIGURE = 1089;

// Dialog 168.
constexpr int CONTROLLER_LIST = 1097;
constexpr int CONTROLLER_PLUGIN_LIST = 1099;
constexpr int CONTROLLER_ABOUT = 1100;
constexpr int CONTROLLER_CONFIGURE = 1101;
constexpr int CONTROLLER_ENABLED = 1102;
constexpr int CONTROLLER_MEMPACK = 1103;
constexpr int CONTROLLER_RUMBLE_PACK = 1104;
constexpr int CONTROLLER_PLUGIN_CONFIGURATION = 1105;

// Pictures: window icons and the About box's picture.
constexpr int ICON_LARGE = 107;
constexpr int ICON_SMALL = 129;
constexpr int OUTPUT_ICON_LARGE = 164;
constexpr int OUTPUT_ICON_SMALL = 161;
constexpr int ABOUT_PICTURE = 138;

// Tree images, in the order of the tree's image list.
constexpr int IMAGE_DIRECTORY = 148;
constexpr int IMAGE_DIRECTORY_WITH_ROMS = 147;
constexpr int IMAGE_COUNTRY_D = 157;
constexpr int IMAGE_COUNTRY_E = 155;
constexpr int IMAGE_COUNTRY_J = 158;
constexpr int IMAGE_COUNTRY_P = 156;
constexpr int IMAGE_COUNTRY_OTHER = 150;

} // namespace gui_id

// The property holding a widget's or action's id.
constexpr const char* ORVEX_ID_PROPERTY = "orvexId";

// Gives an object its id: the property, and the object name "id<N>" by which
// findChild finds it.
inline void setOrvexId(QObject* object, int id) {
    object->setProperty(ORVEX_ID_PROPERTY, id);
    object->setObjectName(QStringLiteral("id%1").arg(id));
}

inline QString orvexIdName(int id) {
    return QStringLiteral("id%1").arg(id);
}
