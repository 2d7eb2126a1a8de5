#pragma once

class QString;
class QWidget;

namespace quorvel {

// The program's one kind of message: modal, one OK button, no icon, a fixed
// text and a title ("错误", "警告" or "提示"). Returns when the user closes it;
// events go on being handled meanwhile.
void ShowMessage(QWidget* parent, const QString& text, const QString& title);

}  // namespace quorvel
