// "About Plugin" and "Configure Plugin" of the plug-in dialogs: the plug-in
// of a list entry is loaded for the call and freed again before returning.
#pragma once

#include <QString>

class QWidget;

// Calls showPluginInfo of the entry's plug-in. Nothing happens when the entry
// names no file; a library that cannot be loaded is reported.
void showInfoOfPluginEntry(const QString& entry);
// Calls showPluginConfig of the entry's plug-in with `parent` as its parent
// window.
void showConfigOfPluginEntry(const QString& entry, QWidget* parent);
