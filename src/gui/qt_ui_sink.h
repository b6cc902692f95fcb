// The GUI's user-interface sink: message boxes are Qt message boxes and the
// status texts go to the main window's status bar.
//
// A box raised on the main thread is modal and answered before the call
// returns. A box raised on another thread (the CPU thread) is shown by the
// main thread without blocking its event loop, while the raising thread waits
// for the answer; so the user may still close the output window, whose stop
// answers the box (cancelMessageBoxes) before it waits for the CPU thread.
//
// Status texts are handed to the main thread in the order they were set,
// whichever thread set them, so a late text of the CPU thread never
// overwrites what the emulation stop wrote after it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "base/ui_sink.h"

class QMessageBox;

class QtUiSink : public QObject, public UserInterfaceSink {
    Q_OBJECT
  public:
    // Lives on the thread that creates it, which must be the main thread.
    QtUiSink();
    ~QtUiSink() override;

    int messageBox(unsigned flags, const std::string& title, const std::string& text) override;
    void setStatusPart(int part, const std::string& text) override;
    void cancelMessageBoxes() override;
    void resumeMessageBoxes() override;

  signals:
    // On the main thread, once per setStatusPart.
    void statusTextChanged(int part, const QString& text);

  private:
    // One box raised by another thread and the answer it waits for.
    struct PendingBox {
        unsigned flags = 0;
        QString title;
        QString text;
        int answer = MESSAGE_OK;
        bool answered = false;
        QPointer<QMessageBox> box;
    };

    void showPendingBox(const std::shared_ptr<PendingBox>& pending);
    void answer(const std::shared_ptr<PendingBox>& pending, int answer);

    std::mutex mutex_;
    std::condition_variable answered_;
    bool cancelled_ = false;
    std::vector<std::shared_ptr<PendingBox>> pending_;
};

// A message box of the given style flags (buttons in the low four bits, icon
// in the next four), not yet shown.
QMessageBox* makeMessageBox(unsigned flags, const QString& title, const QString& text);
// The answer (MESSAGE_OK, MESSAGE_YES, MESSAGE_NO) of a box that was closed.
int messageBoxAnswer(QMessageBox* box);
