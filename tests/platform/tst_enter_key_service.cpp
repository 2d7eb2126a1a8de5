#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include "platform/enter_key_service.h"

using quorvel::EnterKeyService;

namespace {

// The focused multi-line edit; it counts the Enter presses that reach it.
class RecordingEdit : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;
  int enter_presses = 0;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) ++enter_presses;
    QPlainTextEdit::keyPressEvent(event);
  }
};

}  // namespace

// A main window with a focused multi-line edit and the label that receives
// the feedback events; key presses go in through the window, the way the
// platform delivers them.
class TestEnterKeyService : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void registeredEnterIsTaken_data();
  void registeredEnterIsTaken();
  void unregisteredEnterReachesTheEdit();
  void eachRegistrationHasANewId();
  void staleIdIsNeverDelivered();
  void unknownIdsAreIgnored();
  void refusedRegistrations_data();
  void refusedRegistrations();
  void modifiedEnterIsNotTaken_data();
  void modifiedEnterIsNotTaken();
  void enterIsLeftAloneWhileNoWindowIsActive();
  void shortcutsOnEnterDoNotFire();

 private:
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window_->windowHandle(), key, modifiers);
  }

  QWidget* window_ = nullptr;
  RecordingEdit* edit_ = nullptr;
  QLabel* label_ = nullptr;
  EnterKeyService* service_ = nullptr;
};

void TestEnterKeyService::init() {
  window_ = new QWidget;
  auto* layout = new QVBoxLayout(window_);
  edit_ = new RecordingEdit(window_);
  label_ = new QLabel(window_);
  layout->addWidget(edit_);
  layout->addWidget(label_);
  edit_->setPlainText(QStringLiteral("01 03"));
  edit_->moveCursor(QTextCursor::End);
  window_->show();
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_));
  edit_->setFocus();
  service_ = new EnterKeyService(window_);
}

void TestEnterKeyService::cleanup() {
  delete window_;
  window_ = nullptr;
}

void TestEnterKeyService::registeredEnterIsTaken_data() {
  QTest::addColumn<Qt::Key>("key");
  QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
  QTest::addRow("main Return") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::NoModifier);
  QTest::addRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void TestEnterKeyService::registeredEnterIsTaken() {
  QFETCH(Qt::Key, key);
  QFETCH(Qt::KeyboardModifiers, modifiers);
  QSignalSpy feedback(service_, &EnterKeyService::feedback);
  const int id = service_->Register(window_, label_, 0, EnterKeyService::kEnterKey);
  QVERIFY(id != 0);
  Press(key, modifiers);
  QCOMPARE(feedback.count(), 1);
  QCOMPARE(feedback.at(0).at(0).value<QObject*>(), label_);
  QCOMPARE(feedback.at(0).at(1).toInt(), id);
  QCOMPARE(feedback.at(0).at(2).toInt(), 0);
  QCOMPARE(edit_->enter_presses, 0);
  QCOMPARE(edit_->toPlainText(), QStringLiteral("01 03"));
}

void TestEnterKeyService::unregisteredEnterReachesTheEdit() {
  QSignalSpy feedback(service_, &EnterKeyService::feedback);
  const int id = service_->Register(window_, label_, 0, EnterKeyService::kEnterKey);
  service_->Unregister(window_, id);
  Press(Qt::Key_Return);
  QCOMPARE(feedback.count(), 0);
  QCOMPARE(edit_->toPlainText(), QStringLiteral("01 03\n"));
}

void TestEnterKeyService::eachRegistrationHasANewId() {
  QList<int> ids;
  for (int i = 0; i < 3; ++i) {
    const int id = service_->Register(window_, label_, 0, EnterKeyService::kEnterKey);
    QVERIFY(id != 0);
    QVERIFY(!ids.contains(id));
    ids << id;
    service_->Unregister(window_, id);
  }
}

void TestEnterKeyService::staleIdIsNeverDelivered() {
  QSignalSpy feedback(service_, &EnterKeyService::feedback);
  const int first = service_->Register(window_, label_, 0, EnterKeyService::kEnterKey);
  service_->Unregister(window_, first);
  const int second = service_->Register(window_, label_, 0, EnterKeyService::kEnterKey);
  // The old id no longer names the registration.
  service_->Unregister(window_, first);
  Press(Qt::Key_Return);
  QCOMPARE(feedback.count(), 1);
  QCOMPARE(feedback.at(0).at(1).toInt(), second);
}

void TestEnterKeyService::unknownIdsAreIgnored() {
  QSignalSpy feedback(service_, &EnterKeyService::feedback);
  const int id = service_->Register(window_, label_, 0, EnterKeyService::kEnterKey);
  QWidget other_window;
  service_->Unregister(window_, 0);
  service_->Unregister(window_, id + 1);
  service_->Unregister(&other_window, id);
  Press(Qt::Key_Return);
  QCOMPARE(feedback.count(), 1);
  QCOMPARE(service_->RegisteredId(), id);
}

void TestEnterKeyService::refusedRegistrations_data() {
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<int>("key");
  QTest::addColumn<bool>("already_registered");
  QTest::addRow("a modifier") << int(Qt::ShiftModifier) << EnterKeyService::kEnterKey << false;
  QTest::addRow("another key") << 0 << 65 << false;
  QTest::addRow("Enter registered already") << 0 << EnterKeyService::kEnterKey << true;
}

void TestEnterKeyService::refusedRegistrations() {
  QFETCH(int, modifiers);
  QFETCH(int, key);
  QFETCH(bool, already_registered);
  QSignalSpy feedback(service_, &EnterKeyService::feedback);
  const int held = already_registered ? service_->Register(window_, label_, 0, EnterKeyService::kEnterKey) : 0;
  QCOMPARE(service_->Register(window_, label_, modifiers, key), 0);
  // A refusal changes nothing: Enter goes where it went before.
  Press(Qt::Key_Return);
  QCOMPARE(feedback.count(), held != 0 ? 1 : 0);
  if (held != 0) QCOMPARE(feedback.at(0).at(1).toInt(), held);
  QCOMPARE(edit_->toPlainText(), held != 0 ? QStringLiteral("01 03") : QStringLiteral("01 03\n"));
}

void TestEnterKeyService::modifiedEnterIsNotTaken_data() {
  QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
  QTest::addRow("Shift+Enter") << Qt::KeyboardModifiers(Qt::ShiftModifier);
  QTest::addRow("Ctrl+Enter") << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void TestEnterKeyService::modifiedEnterIsNotTaken() {
  QFETCH(Qt::KeyboardModifiers, modifiers);
  QSignalSpy feedback(service_, &EnterKeyService::feedback);
  service_->Register(window_, label_, 0, EnterKeyService::kEnterKey);
  Press(Qt::Key_Return, modifiers);
  QCOMPARE(feedback.count(), 0);
  QCOMPARE(edit_->enter_presses, 1);
}

void TestEnterKeyService::enterIsLeftAloneWhileNoWindowIsActive() {
  QSignalSpy feedback(service_, &EnterKeyService::feedback);
  service_->Register(window_, label_, 0, EnterKeyService::kEnterKey);
  window_->hide();
  QTRY_VERIFY(QApplication::activeWindow() == nullptr);
  QTest::keyClick(edit_, Qt::Key_Return);
  QCOMPARE(feedback.count(), 0);
  QCOMPARE(edit_->toPlainText(), QStringLiteral("01 03\n"));
}

void TestEnterKeyService::shortcutsOnEnterDoNotFire() {
  // A text edit claims Enter from shortcuts itself: the focus goes to a
  // label here, where a shortcut on Enter would fire.
  label_->setFocusPolicy(Qt::StrongFocus);
  label_->setFocus();
  QShortcut shortcut(QKeySequence(Qt::Key_Return), window_);
  QSignalSpy activated(&shortcut, &QShortcut::activated);
  QSignalSpy feedback(service_, &EnterKeyService::feedback);
  Press(Qt::Key_Return);
  QCOMPARE(activated.count(), 1);  // the shortcut works while Enter is free

  service_->Register(window_, label_, 0, EnterKeyService::kEnterKey);
  Press(Qt::Key_Return);
  QCOMPARE(activated.count(), 1);
  QCOMPARE(feedback.count(), 1);
}

QTEST_MAIN(TestEnterKeyService)
#include "tst_enter_key_service.moc"
