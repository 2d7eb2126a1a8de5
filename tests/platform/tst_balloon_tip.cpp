#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QtTest>

#include "platform/balloon_tip.h"

namespace {

// A window that records the input it is given, to show that the press that
// closes a tip is not swallowed.
class InputRecorder : public QWidget {
 public:
  int mouse_presses = 0;
  int key_presses = 0;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    ++mouse_presses;
    event->accept();
  }
  void keyPressEvent(QKeyEvent* event) override {
    ++key_presses;
    event->accept();
  }
};

}  // namespace

class TestBalloonTip : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void pointsAtTheGivenPoint_data();
  void pointsAtTheGivenPoint();
  void doesNotTakeTheFocus();
  void newTipReplacesTheOld();
  void hidesAfterItsTimeOut();
  void staysUntilTheNextPress_data();
  void staysUntilTheNextPress();
  void radixColumnsLineUp();

 private:
  InputRecorder* window_ = nullptr;
};

void TestBalloonTip::init() {
  window_ = new InputRecorder;
  window_->resize(300, 200);
  window_->show();
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_));
}

void TestBalloonTip::cleanup() {
  delete window_;
  window_ = nullptr;
}

void TestBalloonTip::pointsAtTheGivenPoint_data() {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QTest::addColumn<QPoint>("point");
  QTest::addRow("middle of the screen") << screen.center();
  QTest::addRow("at the right edge") << QPoint(screen.right() - 2, screen.center().y());
  QTest::addRow("at the bottom edge") << QPoint(screen.center().x(), screen.bottom() - 2);
  QTest::addRow("top left corner") << screen.topLeft();
}

void TestBalloonTip::pointsAtTheGivenPoint() {
  QFETCH(QPoint, point);
  quorvel::BalloonTip tip(window_);
  tip.ShowTip(point, QStringLiteral("换行间隔：毫秒"), 0);
  QVERIFY(tip.IsShown());
  QCOMPARE(tip.PointedAt(), point);
  // Whole bubble on the screen.
  QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(tip.frameGeometry()));
}

void TestBalloonTip::doesNotTakeTheFocus() {
  quorvel::BalloonTip tip(window_);
  tip.ShowTip(window_->geometry().center(), QStringLiteral("提示"), 0);
  QTest::qWait(50);
  QCOMPARE(QApplication::activeWindow(), window_);
  QVERIFY(tip.IsShown());
}

void TestBalloonTip::newTipReplacesTheOld() {
  quorvel::BalloonTip tip(window_);
  tip.ShowTip(QPoint(100, 100), QStringLiteral("请输入要自动发送的数据，一行为一条数据！"), 0);
  tip.ShowTip(QPoint(200, 150), QStringLiteral("换行间隔：毫秒"), 100);
  QCOMPARE(tip.Text(), QStringLiteral("换行间隔：毫秒"));
  QCOMPARE(tip.PointedAt(), QPoint(200, 150));
  // The new tip brings its own way of hiding: it goes by itself.
  QTRY_VERIFY_WITH_TIMEOUT(!tip.IsShown(), 5000);
  // And an auto-hiding tip replaced by one without time-out stays.
  tip.ShowTip(QPoint(100, 100), QStringLiteral("a"), 50);
  tip.ShowTip(QPoint(100, 100), QStringLiteral("b"), 0);
  QTest::qWait(200);
  QVERIFY(tip.IsShown());
}

void TestBalloonTip::hidesAfterItsTimeOut() {
  quorvel::BalloonTip tip(window_);
  tip.ShowTip(QPoint(100, 100), QStringLiteral("换行间隔：毫秒"), 100);
  QVERIFY(tip.IsShown());
  QTRY_VERIFY_WITH_TIMEOUT(!tip.IsShown(), 5000);
}

void TestBalloonTip::staysUntilTheNextPress_data() {
  QTest::addColumn<bool>("mouse");
  QTest::addRow("mouse click") << true;
  QTest::addRow("key press") << false;
}

void TestBalloonTip::staysUntilTheNextPress() {
  QFETCH(bool, mouse);
  quorvel::BalloonTip tip(window_);
  tip.ShowTip(QPoint(100, 100), QStringLiteral("16进制：      01 "), 0);
  QTest::qWait(300);
  QVERIFY(tip.IsShown());

  if (mouse) {
    const QPointF local(10, 10);
    QCoreApplication::postEvent(window_, new QMouseEvent(QEvent::MouseButtonPress, local, window_->mapToGlobal(local),
                                                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  } else {
    QCoreApplication::postEvent(window_, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
  }
  QTRY_VERIFY(!tip.IsShown());
  QCOMPARE(window_->mouse_presses, mouse ? 1 : 0);
  QCOMPARE(window_->key_presses, mouse ? 0 : 1);

  // Once hidden it no longer watches: a later tip is not closed by old input.
  tip.ShowTip(QPoint(100, 100), QStringLiteral("x"), 0);
  QTest::qWait(50);
  QVERIFY(tip.IsShown());
}

void TestBalloonTip::radixColumnsLineUp() {
  // The radix tip pads GBK texts to equal byte widths; they only line up if a
  // Chinese character is exactly two digits wide in the tip's font.
  quorvel::BalloonTip tip;
  const QFontMetrics metrics(tip.font());
  QCOMPARE(metrics.horizontalAdvance(QStringLiteral("16进制：      01 ")),
           metrics.horizontalAdvance(QStringLiteral("00000000000000000")));
  QCOMPARE(metrics.horizontalAdvance(QStringLiteral(" 2进制：00000001 ")),
           metrics.horizontalAdvance(QStringLiteral("10进制：       1 ")));
}

QTEST_MAIN(TestBalloonTip)
#include "tst_balloon_tip.moc"
