// busyCall: the worker thread, the input-blocking wait and the busy cursor.
#include "setup/busy_call.h"

#include <exception>
#include <thread>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>

namespace dorvik::setup {
namespace {

// Restores the cursor and hides the indicator however the wait ends.
class BusyState {
 public:
  explicit BusyState(QWidget* indicator) : indicator_(indicator) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (indicator_) indicator_->show();
  }
  ~BusyState() {
    if (indicator_) indicator_->hide();
    QApplication::restoreOverrideCursor();
  }
  BusyState(const BusyState&) = delete;
  BusyState& operator=(const BusyState&) = delete;

 private:
  QWidget* indicator_;
};

// Swallows the user's input and close requests while the call runs; painting goes on.
class InputBlocker : public QObject {
 public:
  InputBlocker() { qApp->installEventFilter(this); }
  ~InputBlocker() override { qApp->removeEventFilter(this); }
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::Close:
        event->ignore();
        return true;
      default:
        return QObject::eventFilter(watched, event);
    }
  }
};

}  // namespace

void busyCall(const std::function<void()>& work, QWidget* indicator) {
  BusyState busy(indicator);
  InputBlocker blocker;
  QEventLoop loop;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace dorvik::setup
