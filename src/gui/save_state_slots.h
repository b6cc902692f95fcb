// The window program's saved states: F5 saves the running machine into the
// selected slot, F7 loads it from there, F6 and Shift+F6 select the next and
// the previous of the ten slots, and the "States" menu does the same and
// picks a slot. The requests go to the run's CPU thread; the status bar
// tells what happened.
#pragma once

#include <QObject>
#include <functional>

#include "gui/command_keys.h"

class EmulationSession;
class QAction;
class QActionGroup;
class QMenu;
class QWidget;

class SaveStateSlots : public QObject {
    Q_OBJECT
  public:
    // `session` gives the running session, null between runs.
    SaveStateSlots(std::function<EmulationSession*()> session, QObject* parent = nullptr);
    ~SaveStateSlots() override;

    // The "States" menu; the caller places it (it stays owned here).
    QMenu* menu() const { return menu_; }
    // Carries out a save-state command of the output window's keys (F5, F7,
    // F6, Shift+F6); other commands are not its own.
    void runCommand(WindowCommand command);

    int slot() const { return slot_; }
    void selectSlot(int slot);
    void save();
    void load();

  private:
    std::function<EmulationSession*()> session_;
    int slot_ = 0;
    QMenu* menu_ = nullptr;
    QActionGroup* slotGroup_ = nullptr;
};
