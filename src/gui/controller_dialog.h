// Dialog 168, "Configure Controllers": for each of the four controllers
// whether it is enabled and which controller plug-in serves it. The dialog
// edits a working copy; "OK" applies it.
//
// While an emulation run goes on, the CPU thread polls the controller slots,
// so they must not change under it: "OK" then checks the chosen plug-ins and
// stores the choice at once, and the slots take it when the run has stopped
// (the dialog says so).
#pragma once

#include <QDialog>
#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;

class ControllerDialog : public QDialog {
    Q_OBJECT
  public:
    // The working copy of one controller's choice.
    struct Choice {
        bool enabled = false;
        // The plug-in's file name; "" for none.
        std::string file;
    };
    enum class Apply {
        // "OK" loads the plug-ins into the slots at once.
        Now,
        // "OK" stores the choice for the next run; the slots stay as they are.
        AtNextRun,
    };
    // The working copy starts from the slots, or, when a stored choice is
    // still waiting for the next run, from the stored values.
    ControllerDialog(Apply apply, bool startFromStoredChoice, QWidget* parent = nullptr);

    const std::array<Choice, 4>& choices() const { return choices_; }

  public slots:
    // Closes with the id of the button: 1 for "OK", 2 for "Cancel".
    void accept() override;
    void reject() override;

  private:
    void showController(int index);
    void pluginSelected();
    void applyToSlots();
    void storeForNextRun();

    Apply apply_;
    std::array<Choice, 4> choices_;
    QComboBox* controllerList_;
    QComboBox* pluginList_;
    QPushButton* about_;
    QPushButton* configure_;
    QCheckBox* enabled_;
    QGroupBox* configurationGroup_;
};
