#include <QCursor>
#include <QtTest>
#include <string>

#include "log/log_view.h"
#include "platform/balloon_tip.h"
#include "tools/radix_tip_balloon.h"

using quorvel::BalloonTip;
using quorvel::LogView;

Q_DECLARE_METATYPE(std::string)

class TestRadixTipBalloon : public QObject {
  Q_OBJECT

 private slots:
  void showsTheTipAtThePointer_data();
  void showsTheTipAtThePointer();
  void nothingToShowKeepsTheTipAsItIs_data();
  void nothingToShowKeepsTheTipAsItIs();
};

void TestRadixTipBalloon::showsTheTipAtThePointer_data() {
  QTest::addColumn<std::string>("log");
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::addColumn<QPoint>("pointer");
  QTest::addColumn<QString>("tip");
  QTest::addRow("three bytes") << std::string("\r\n01 FF 1A \r\n") << 2 << 10 << QPoint(300, 200)
                               << "16进制：      01       FF       1A \n10进制：       1      255       26 \n"
                                  " 2进制：00000001 11111111 00011010 ";
  QTest::addRow("across a line break, selected backwards")
      << std::string("01 03\r\n10") << 9 << 0 << QPoint(120, 340)
      << "16进制：      01       03       10 \n10进制：       1        3       16 \n"
         " 2进制：00000001 00000011 00010000 ";
}

void TestRadixTipBalloon::showsTheTipAtThePointer() {
  QFETCH(std::string, log);
  QFETCH(int, from);
  QFETCH(int, to);
  QFETCH(QPoint, pointer);
  QFETCH(QString, tip);
  LogView view;
  BalloonTip balloon;
  view.SetWholeText(log);
  view.Select(from, to);
  QCursor::setPos(pointer);
  quorvel::ShowRadixTip(view, balloon);
  QVERIFY(balloon.IsShown());
  QCOMPARE(balloon.Text(), tip);
  QCOMPARE(QCursor::pos(), pointer);
  QCOMPARE(balloon.PointedAt(), pointer);
  QCOMPARE(view.CaretPosition(), to);  // the selection is only read
  QCOMPARE(view.AnchorPosition(), from);
}

void TestRadixTipBalloon::nothingToShowKeepsTheTipAsItIs_data() {
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::addRow("plain click") << 3 << 3;
  QTest::addRow("spaces only") << 2 << 4;
}

void TestRadixTipBalloon::nothingToShowKeepsTheTipAsItIs() {
  QFETCH(int, from);
  QFETCH(int, to);
  LogView view;
  BalloonTip balloon;
  view.SetWholeText("01   FF");
  view.Select(from, to);
  quorvel::ShowRadixTip(view, balloon);
  QVERIFY(!balloon.IsShown());
  balloon.ShowTip(QPoint(50, 60), QStringLiteral("earlier"), 0);
  quorvel::ShowRadixTip(view, balloon);
  QCOMPARE(balloon.Text(), QStringLiteral("earlier"));
  QCOMPARE(balloon.PointedAt(), QPoint(50, 60));
}

QTEST_MAIN(TestRadixTipBalloon)
#include "tst_radix_tip_balloon.moc"
