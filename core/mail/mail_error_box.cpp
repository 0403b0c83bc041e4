// The installed mail error box, guarded so a late installation cannot race a send on another thread.
#include "core/mail/mail_error_box.h"

#include <mutex>
#include <utility>

namespace dorvik {
namespace {

std::mutex& boxMutex() {
  static std::mutex m;
  return m;
}

MailErrorBox& installedBox() {
  static MailErrorBox box;
  return box;
}

}  // namespace

void setMailErrorBox(MailErrorBox box) {
  std::lock_guard lock(boxMutex());
  installedBox() = std::move(box);
}

void showMailError(const std::string& text, const std::string& caption) {
  MailErrorBox box;
  {
    std::lock_guard lock(boxMutex());
    box = installedBox();
  }
  // Called outside the lock: a modal box may take as long as the user likes.
  if (box) box(text, caption);
}

}  // namespace dorvik
