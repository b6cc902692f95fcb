#include "gui/save_state_slots.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

#include "base/log.h"
#include "system/emulation_session.h"
#include "system/state_slots.h"

SaveStateSlots::SaveStateSlots(std::function<EmulationSession*()> session, QObject* parent)
    : QObject(parent), session_(std::move(session)) {
    menu_ = new QMenu("&States");
    auto add = [this](const QString& text, const QKeySequence& keys, auto handler) {
        QAction* a = menu_->addAction(text);
        a->setShortcut(keys);
        // Active in each window the action is added to (the main window
        // through its menu; the output window passes its keys to runCommand).
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    add("&Save State", QKeySequence(Qt::Key_F5), [this] { save(); });
    add("&Load State", QKeySequence(Qt::Key_F7), [this] { load(); });
    menu_->addSeparator();
    add("&Next Slot", QKeySequence(Qt::Key_F6), [this] { selectSlot(nextStateSlot(slot_)); });
    add("&Previous Slot", QKeySequence(Qt::SHIFT | Qt::Key_F6),
        [this] { selectSlot(previousStateSlot(slot_)); });
    QMenu* slotMenu = menu_->addMenu("S&lot");
    slotGroup_ = new QActionGroup(this);
    for (int i = 0; i < STATE_SLOT_COUNT; ++i) {
        QAction* a = slotMenu->addAction(QStringLiteral("Slot &%1").arg(i));
        a->setCheckable(true);
        a->setChecked(i == slot_);
        a->setActionGroup(slotGroup_);
        connect(a, &QAction::triggered, this, [this, i] { selectSlot(i); });
    }
}

SaveStateSlots::~SaveStateSlots() {
    delete menu_;
}

void SaveStateSlots::runCommand(WindowCommand command) {
    switch (command) {
    case WindowCommand::SaveState:
        save();
        break;
    case WindowCommand::LoadState:
        load();
        break;
    case WindowCommand::NextStateSlot:
        selectSlot(nextStateSlot(slot_));
        break;
    case WindowCommand::PreviousStateSlot:
        selectSlot(previousStateSlot(slot_));
        break;
    default:
        break;
    }
}

void SaveStateSlots::selectSlot(int slot) {
    if (slot < 0 || slot >= STATE_SLOT_COUNT) return;
    slot_ = slot;
    slotGroup_->actions().at(slot)->setChecked(true);
    statusMessage("Save-state slot %d selected", slot);
}

void SaveStateSlots::save() {
    EmulationSession* session = session_();
    const std::string path = stateSlotPath(loadedRomIdentity(), slot_);
    if (!session) {
        statusMessage("No emulation is running: nothing to save");
    } else if (path.empty()) {
        statusMessage("State not saved: no data folder (neither XDG_DATA_HOME nor HOME is set)");
    } else {
        session->requestStateSave(path, "slot " + std::to_string(slot_));
    }
}

void SaveStateSlots::load() {
    EmulationSession* session = session_();
    const std::string path = stateSlotPath(loadedRomIdentity(), slot_);
    if (!session) {
        statusMessage("No emulation is running: the state is not loaded");
    } else if (path.empty()) {
        statusMessage("State not loaded: no data folder (neither XDG_DATA_HOME nor HOME is set)");
    } else {
        session->requestStateLoad(path, "slot " + std::to_string(slot_));
    }
}
