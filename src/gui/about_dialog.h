// Dialog 103, "About the Program": the program's picture and credits.
#pragma once

#include <QDialog>

class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);

  public slots:
    // Closes with the id of the button: 1 for the OK button, 2 for Cancel
    // (Escape).
    void accept() override;
    void reject() override;
};
