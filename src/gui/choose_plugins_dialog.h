// Dialog 167, "Choose Graphics & Sound Plugins": one graphics and one sound
// plug-in, whose choice is only stored.
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

class ChoosePluginsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ChoosePluginsDialog(QWidget* parent = nullptr);

  public slots:
    // Closes with the id of the button: 1 for "OK", 2 for "Cancel".
    void accept() override;
    void reject() override;

  private:
    QComboBox* graphicsList_;
    QComboBox* soundList_;
};
