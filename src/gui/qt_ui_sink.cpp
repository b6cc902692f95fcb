#include "gui/qt_ui_sink.h"

#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace {

bool isQuestion(unsigned flags) {
    return (flags & 0x0F) == MESSAGE_YES_NO;
}

// What a box answers when it is ended without the user.
int cancelledAnswer(unsigned flags) {
    return isQuestion(flags) ? MESSAGE_NO : MESSAGE_OK;
}

QMessageBox::Icon iconFor(unsigned flags) {
    switch (flags & MESSAGE_ICON_MASK) {
    case 0x00:
        return QMessageBox::NoIcon;
    case 0x10:
        return QMessageBox::Critical;
    case 0x20:
        return QMessageBox::Question;
    case 0x40:
        return QMessageBox::Information;
    default:
        // 0x30, and every box of showMessage, which always adds 0x30.
        return QMessageBox::Warning;
    }
}

} // namespace

QMessageBox* makeMessageBox(unsigned flags, const QString& title, const QString& text) {
    auto* box = new QMessageBox(iconFor(flags), title, text);
    if (isQuestion(flags)) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    return box;
}

int messageBoxAnswer(QMessageBox* box) {
    switch (box->standardButton(box->clickedButton())) {
    case QMessageBox::Yes:
        return MESSAGE_YES;
    case QMessageBox::No:
        return MESSAGE_NO;
    default:
        return box->standardButtons() & QMessageBox::No ? MESSAGE_NO : MESSAGE_OK;
    }
}

QtUiSink::QtUiSink() = default;

QtUiSink::~QtUiSink() {
    cancelMessageBoxes();
}

int QtUiSink::messageBox(unsigned flags, const std::string& title, const std::string& text) {
    const QString qTitle = QString::fromStdString(title);
    const QString qText = QString::fromStdString(text);
    if (QThread::currentThread() == thread()) {
        {
            std::lock_guard lock(mutex_);
            if (cancelled_) return cancelledAnswer(flags);
        }
        std::unique_ptr<QMessageBox> box(makeMessageBox(flags, qTitle, qText));
        box->exec();
        return messageBoxAnswer(box.get());
    }

    auto pending = std::make_shared<PendingBox>();
    pending->flags = flags;
    pending->title = qTitle;
    pending->text = qText;
    std::unique_lock lock(mutex_);
    if (cancelled_) return cancelledAnswer(flags);
    pending_.push_back(pending);
    QMetaObject::invokeMethod(
        this, [this, pending] { showPendingBox(pending); }, Qt::QueuedConnection);
    answered_.wait(lock, [&] { return pending->answered; });
    return pending->answer;
}

void QtUiSink::showPendingBox(const std::shared_ptr<PendingBox>& pending) {
    {
        std::lock_guard lock(mutex_);
        // Answered by a cancel before it could be shown.
        if (pending->answered) return;
    }
    QMessageBox* box = makeMessageBox(pending->flags, pending->title, pending->text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    connect(box, &QMessageBox::finished, this,
            [this, pending, box] { answer(pending, messageBoxAnswer(box)); });
    {
        std::lock_guard lock(mutex_);
        pending->box = box;
    }
    box->show();
}

void QtUiSink::answer(const std::shared_ptr<PendingBox>& pending, int answer) {
    {
        std::lock_guard lock(mutex_);
        if (pending->answered) return;
        pending->answer = answer;
        pending->answered = true;
        std::erase(pending_, pending);
    }
    answered_.notify_all();
}

void QtUiSink::setStatusPart(int part, const std::string& text) {
    const QString qText = QString::fromStdString(text);
    QMetaObject::invokeMethod(
        this, [this, part, qText] { emit statusTextChanged(part, qText); }, Qt::QueuedConnection);
}

void QtUiSink::cancelMessageBoxes() {
    std::vector<std::shared_ptr<PendingBox>> open;
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        open.swap(pending_);
        for (const auto& pending : open) {
            pending->answer = cancelledAnswer(pending->flags);
            pending->answered = true;
        }
    }
    answered_.notify_all();
    // The boxes themselves belong to the main thread.
    auto closeBoxes = [open] {
        for (const auto& pending : open)
            if (pending->box) pending->box->close();
    };
    if (QThread::currentThread() == thread())
        closeBoxes();
    else
        QMetaObject::invokeMethod(this, closeBoxes, Qt::QueuedConnection);
}

void QtUiSink::resumeMessageBoxes() {
    std::lock_guard lock(mutex_);
    cancelled_ = false;
}
