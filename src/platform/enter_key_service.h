#pragma once

// The Enter key as a hotkey of this program: while registered, a press of
// Enter in any of the program's active windows is taken ahead of every
// control (text boxes, the log, default buttons) and reported as a feedback
// event instead. Other programs on the desktop keep their Enter key.

#include <QObject>
#include <QPointer>
#include <QWidget>

class QEvent;

namespace quorvel {

class EnterKeyService : public QObject {
  Q_OBJECT

 public:
  // The virtual key the service serves: Enter (the main Return key or the
  // keypad Enter), without modifiers.
  static constexpr int kEnterKey = 13;

  explicit EnterKeyService(QObject* parent = nullptr);
  ~EnterKeyService() override;

  // Registers the hotkey for `window`; each press raises feedback(receiver,
  // id, 0). Returns a non-zero id that differs from every id returned
  // before, or 0 when refused: a key other than kEnterKey, any modifier, no
  // receiver, or the key already registered.
  int Register(QWidget* window, QObject* receiver, int modifiers, int virtual_key);

  // Removes the registration `id` of `window`. Ids that are not registered
  // (0 included) and ids of another window are ignored.
  void Unregister(QWidget* window, int id);

  // The id registered now, or 0.
  int RegisteredId() const { return id_; }

 signals:
  // A press of the registered key, delivered at once on the user-interface
  // thread; `second` is always 0.
  void feedback(QObject* receiver, int id, int second);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int id_ = 0;       // 0: nothing registered
  int last_id_ = 0;  // ids are never handed out twice
  QPointer<QWidget> window_;
  QPointer<QObject> receiver_;
};

}  // namespace quorvel
